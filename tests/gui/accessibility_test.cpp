// The window through Qt's accessibility interfaces, as a screen reader sees it (AT-SPI on Linux reads
// the same interfaces): every button, edit, list and grid is there with its role and its caption or text,
// the grids as tables with their cells and column headers, the status bar with its text.

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <vector>

#include "window_fixture.h"

namespace tarnwell::gui_testing {

namespace {

struct Node {
    QAccessibleInterface* item;
    QAccessible::Role role;
    QString name;
};

void Walk(QAccessibleInterface* item, std::vector<Node>& nodes) {
    if (!item || !item->isValid()) return;
    nodes.push_back({item, item->role(), item->text(QAccessible::Name)});
    // A table's cells are checked through its table interface, not walked one by one.
    if (item->tableInterface()) return;
    for (int i = 0; i < item->childCount(); ++i) Walk(item->child(i), nodes);
}

std::vector<Node> WalkWindow(QWidget* window) {
    std::vector<Node> nodes;
    Walk(QAccessible::queryAccessibleInterface(window), nodes);
    return nodes;
}

const Node* Named(const std::vector<Node>& nodes, QAccessible::Role role, const QString& name) {
    for (const Node& node : nodes) {
        if (node.role == role && node.name == name) return &node;
    }
    return nullptr;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlIsReachableByItsCaptionOrText();
    void gridsAreTablesWithCellsAndColumnHeaders();
    void statusBarTellsTheHint();
};

void AccessibilityTest::everyControlIsReachableByItsCaptionOrText() {
    Window w;
    const std::vector<Node> nodes = WalkWindow(&w.Main());
    FormControls& c = w.Controls();

    // Buttons, by their captions (the "..." button by what it does).
    std::vector<std::pair<const Button*, QString>> buttons;
    for (Button* button : c.NavigationButtons()) buttons.push_back({button, ToQString(button->Caption)});
    for (const Button* button :
         {&c.SBSave, &c.SBSaveHTML, &c.SBSend1, &c.SBRead, &c.SBSet, &c.SBSaveLim, &c.STtoSite, &c.StaticText7}) {
        buttons.push_back({button, ToQString(button->Caption)});
    }
    buttons.push_back({&c.SBEditPathHTML, QStringLiteral("Изменить путь к файлу экспорта")});
    for (const auto& [button, name] : buttons) {
        QVERIFY2(Named(nodes, QAccessible::Button, name), qPrintable(name));
    }

    // Edits, by their caption strips, or by their hint where they have none; their text as value.
    const std::pair<const Edit*, QString> edits[] = {
        {&c.EHost, QStringLiteral("Машина:")},
        {&c.EPort, QStringLiteral("Порт:")},
        {&c.EDomain, QStringLiteral("Домен:")},
        {&c.EUserID, QStringLiteral("User ID:")},
        {&c.EPassword, QStringLiteral("Пароль:")},
        {&c.ECAFile, QStringLiteral("Сертификаты:")},
        {&c.EFromName, QStringLiteral("От кого(ФИО):")},
        {&c.EFromAddress, QStringLiteral("Обратный адрес:")},
        {&c.ESubject, QStringLiteral("Тема:")},
        {&c.ECurrentFile, QStringLiteral("Текущий файл:")},
        {&c.EHTMLPath, QStringLiteral("Файл экспорта:")},
        {&c.ESGToUser, QStringLiteral("Адрес для отсылки таблицы")},
    };
    for (const auto& [edit, name] : edits) {
        const Node* node = Named(nodes, QAccessible::EditableText, name);
        QVERIFY2(node, qPrintable(name));
        QCOMPARE(node->item->text(QAccessible::Value), ToQString(edit->Text));
    }
    QVERIFY(Named(nodes, QAccessible::SpinBox, QStringLiteral("Точность:")));
    QVERIFY(Named(nodes, QAccessible::SpinBox, ToQString(c.SEDefault.Hint)));

    // Check lists by their strips (or hint), with their items and the items' states.
    const Node* autorun = Named(nodes, QAccessible::List, QStringLiteral("Автозапуск"));
    QVERIFY(autorun);
    QCOMPARE(autorun->item->childCount(), 3);
    QCOMPARE(autorun->item->child(2)->text(QAccessible::Name), QStringLiteral("Рассылка таблицы"));
    QVERIFY(autorun->item->child(2)->state().checkable);
    for (const char* list : {"Отображать в таблице", "Сохранять в HTML", "Другое"}) {
        QVERIFY2(Named(nodes, QAccessible::List, QString::fromUtf8(list)), list);
    }
    QVERIFY(Named(nodes, QAccessible::List, QStringLiteral("Пункты, содержащиеся в рассылаемом письме")));

    // Radio groups and their items.
    for (const char* radio : {"Авто", "Килобайты", "Мегабайты", "Гигабайты", "1кб. = 1024 б.", "1кб. = 1000 б.", "Нет",
                              "STARTTLS", "TLS"}) {
        QVERIFY2(Named(nodes, QAccessible::RadioButton, QString::fromUtf8(radio)), radio);
    }
    // The viewer's browser, the memo, the pages.
    // The combo boxes by what they are for, what they show as their value.
    const Node* filter = Named(nodes, QAccessible::ComboBox, QStringLiteral("Тип файлов"));
    QVERIFY(filter);
    QCOMPARE(filter->item->text(QAccessible::Value), QStringLiteral("All files (*.*)"));
    const FileBrowser& browser = w.Form().Browser();
    QVERIFY(browser.DriveIndex() >= 0);
    const std::string drive = browser.Drives()[static_cast<std::size_t>(browser.DriveIndex())];
    const Node* drives = Named(nodes, QAccessible::ComboBox, QStringLiteral("Диск"));
    QVERIFY(drives);
    QCOMPARE(drives->item->text(QAccessible::Value), PathToQString(drive));
    QVERIFY(Named(nodes, QAccessible::Tree, QStringLiteral("Папки")));
    QVERIFY(Named(nodes, QAccessible::List, QStringLiteral("Файлы")));
    const Node* memo = Named(nodes, QAccessible::EditableText, QStringLiteral("О программе"));
    QVERIFY(memo);
    QVERIFY(memo->item->state().readOnly);
    QVERIFY(memo->item->text(QAccessible::Value).contains(QStringLiteral("Tarnwell v 1.09")));
}

void AccessibilityTest::gridsAreTablesWithCellsAndColumnHeaders() {
    Window w;
    const std::vector<Node> nodes = WalkWindow(&w.Main());
    for (const char* name : {"Просматриваемый файл", "Статистика", "Лимиты"}) {
        QVERIFY2(Named(nodes, QAccessible::Table, QString::fromUtf8(name)), name);
    }

    const Node* statistics = Named(nodes, QAccessible::Table, QStringLiteral("Статистика"));
    QAccessibleTableInterface* table = statistics->item->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->columnCount(), 11);
    QCOMPARE(table->rowCount(), 4);  // system, ivanov, petrov, Сумма
    QCOMPARE(table->columnDescription(1), QStringLiteral("Логин"));
    QCOMPARE(table->cellAt(1, 1)->text(QAccessible::Name), QStringLiteral("ivanov"));
    QCOMPARE(table->cellAt(3, 1)->text(QAccessible::Name), QStringLiteral("Сумма"));
    // The "Послать" box: a checkable cell that says its state.
    QAccessibleInterface* send = table->cellAt(2, 0);
    QVERIFY(send->state().checkable);
    QVERIFY(send->state().checked);
    QCOMPARE(send->text(QAccessible::Name), QStringLiteral("отмечено"));
    QAccessibleTableCellInterface* cell = table->cellAt(1, 1)->tableCellInterface();
    QVERIFY(cell);
    QCOMPARE(cell->columnHeaderCells().value(0)->text(QAccessible::Name), QStringLiteral("Логин"));

    // The limits table: logins are the row headers.
    w.Click("SBLimit");
    const std::vector<Node> again = WalkWindow(&w.Main());
    QAccessibleTableInterface* limits =
        Named(again, QAccessible::Table, QStringLiteral("Лимиты"))->item->tableInterface();
    QCOMPARE(limits->rowDescription(1), QStringLiteral("ivanov"));
    QCOMPARE(limits->columnDescription(1), QStringLiteral("Лимит"));
    QCOMPARE(limits->cellAt(1, 1)->text(QAccessible::Name), QStringLiteral("50000"));
    // The fixed cell above the logins has no cell of its own: each login says which column it stands in.
    QAccessibleTableCellInterface* limit = limits->cellAt(1, 1)->tableCellInterface();
    QCOMPARE(limit->rowHeaderCells().value(0)->text(QAccessible::Name), QStringLiteral("ivanov"));
    QCOMPARE(limit->rowHeaderCells().value(0)->text(QAccessible::Description), QStringLiteral("Логин"));
}

void AccessibilityTest::statusBarTellsTheHint() {
    Window w;
    QTest::mouseMove(w.Find("SBSend1"));
    QTRY_COMPARE(w.StatusText(), QStringLiteral("Разослать наработанный трафик пользователям"));
    const std::vector<Node> nodes = WalkWindow(&w.Main());
    const Node* bar = Named(nodes, QAccessible::StatusBar, QStringLiteral("Строка состояния"));
    QVERIFY(bar);
    bool told = false;
    for (int i = 0; i < bar->item->childCount(); ++i) {
        told = told || bar->item->child(i)->text(QAccessible::Name) == w.StatusText();
    }
    QVERIFY(told);
    // The bar itself says it too, for a screen reader that reads the bar.
    QCOMPARE(bar->item->text(QAccessible::Description), w.StatusText());
}

}  // namespace tarnwell::gui_testing

int RunAccessibilityTests(int argc, char** argv) {
    tarnwell::gui_testing::AccessibilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "accessibility_test.moc"
