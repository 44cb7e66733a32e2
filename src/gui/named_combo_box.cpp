#include "gui/named_combo_box.h"

#include <QAccessibleWidget>
#include <QComboBox>

namespace tarnwell {
namespace {

class NamedComboBoxAccessible final : public QAccessibleWidget {
public:
    explicit NamedComboBoxAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text type) const override {
        const auto* box = static_cast<const QComboBox*>(object());
        switch (type) {
            case QAccessible::Name:
                return box->accessibleName();
            case QAccessible::Value:
                return box->currentText();
            default:
                return QAccessibleWidget::text(type);
        }
    }
    QStringList actionNames() const override {
        return QStringList(showMenuAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction()) {
            static_cast<QComboBox*>(object())->showPopup();
            return;
        }
        QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* NamedComboBoxFactory(const QString& class_name, QObject* object) {
    if (class_name != QLatin1StringView(NamedComboBox::staticMetaObject.className())) return nullptr;
    return new NamedComboBoxAccessible(static_cast<QComboBox*>(object));
}

}  // namespace

NamedComboBox::NamedComboBox() {
    static const bool installed = [] {
        QAccessible::installFactory(NamedComboBoxFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace tarnwell
