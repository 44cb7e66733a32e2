#pragma once

// The window tests' fixture: the real window over the real program parts (settings file, user database
// in a .reg file, report and mail jobs, service stand-in), in a folder of its own, on Qt's offscreen
// platform. Message boxes and the save dialog are real: a test answers them as a user would
// (AnswerNextModal).

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/tf_send.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "gui/qt_text.h"
#include "text/cp1251.h"
#include "user_input.h"
#include "wingate/user_database.h"

namespace tarnwell::gui_testing {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// settings.ini with the given autorun items and options; the report goes to report.htm.
struct Settings {
    bool html = false, mail = false, mail_table = false, auto_close = false, auto_save = false;
    std::string last_path;
    std::string mail_keys;  // further lines of the [mail] section, each ended by CR LF

    std::string Text() const {
        std::ostringstream s;
        s << "[mail]\r\nHTMLPath=report.htm\r\n" << mail_keys << "[set]\r\nLastPath=" << last_path << "\r\n"
          << "[AutoRun]\r\nHTML=" << html << "\r\nMail=" << mail << "\r\nMailTable=" << mail_table << "\r\n"
          << "[opt]\r\nAutoClose=" << auto_close << "\r\nAutoSave=" << auto_save << "\r\n";
        return s.str();
    }
};

// A folder with settings.ini, registry.reg (tests/data/app/users.reg: Administrator shown as "system",
// ivanov, petrov) and the service stand-in that notes its runs in service.log.
class TestFolder {
public:
    explicit TestFolder(const Settings& settings) {
        const fs::path data = fs::path(TARNWELL_TEST_DATA) / "app";
        fs::copy_file(data / "service.sh", Path() / "service.sh");
        fs::permissions(Path() / "service.sh", fs::perms::owner_all);
        std::string reg = ReadFile(data / "users.reg");
        reg.replace(reg.find("@SERVICE@"), 9, (Path() / "service.sh").string());
        WriteFile(RegPath(), reg);
        WriteFile(SettingsPath(), settings.Text());
    }

    fs::path Path() const { return fs::path(dir_.path().toStdString()); }
    fs::path RegPath() const { return Path() / "registry.reg"; }
    fs::path SettingsPath() const { return Path() / "settings.ini"; }

    std::int32_t Number(const std::string& login, const std::string& name) const {
        auto db = UserDatabaseLocation::RegFile(RegPath().string()).Open();
        db->OpenExistingAccount(login);
        return db->ReadNumber(name);
    }

private:
    QTemporaryDir dir_;
};

// How a test starts the program.
struct Start {
    Settings settings;
    std::optional<std::string> argument;
    // Files written into the folder "logs" before the program starts, by name.
    std::vector<std::pair<std::string, std::string>> logs;
    // Runs after the window is made, before the start-up sequence.
    std::function<void(FormControls&)> before_start;
};

// The program with its window, made and started as the program does it (FormCreate, then shown), over a
// test folder. The current folder is the test folder's "logs", where the viewer starts.
class Window {
public:
    explicit Window(const Start& start = {}) : folder_(start.settings), start_folder_(fs::current_path()) {
        fs::create_directories(Logs());
        for (const auto& [name, text] : start.logs) WriteFile(Logs() / name, text);
        fs::current_path(Logs());
        host_ = std::make_unique<QtHost>();
        form_ = std::make_unique<TFSend>(
            *host_, FSendSetup{UserDatabaseLocation::RegFile(folder_.RegPath().string()), folder_.Path().string(),
                                nullptr, std::make_unique<SystemProgramRunner>()});
        window_ = std::make_unique<MainWindow>(*form_, *host_);
        host_->Attach(window_.get());
        if (start.before_start) start.before_start(form_->Controls());
        form_->FormCreate(start.argument);
        window_->show();
        window_->activateWindow();
        if (!QTest::qWaitForWindowActive(window_.get())) qWarning("the window did not become active");
    }
    ~Window() {
        host_->Attach(nullptr);
        window_.reset();
        form_.reset();
        host_.reset();
        std::error_code ignored;
        fs::current_path(start_folder_, ignored);
    }

    TestFolder& Folder() { return folder_; }
    fs::path Logs() const { return folder_.Path() / "logs"; }
    TFSend& Form() { return *form_; }
    FormControls& Controls() { return form_->Controls(); }
    MainWindow& Main() { return *window_; }
    QtHost& Host() { return *host_; }

    // The widget of a control, by the control's name; fails the test when there is none.
    template <class Widget = QWidget>
    Widget* Find(const char* name) {
        auto* widget = window_->findChild<Widget*>(QString::fromLatin1(name));
        if (!widget) qWarning("no widget %s", name);
        return widget;
    }
    // The page shown, by its name (TabSheet1 ...).
    QString Page() { return Find<QStackedWidget>("PC1")->currentWidget()->objectName(); }
    // The status bar's text as shown.
    QString StatusText() { return Find<QLabel>("StatBarText")->text(); }
    // Clicks a widget in its middle, as the user does.
    void Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }

private:
    TestFolder folder_;
    fs::path start_folder_;
    std::unique_ptr<QtHost> host_;
    std::unique_ptr<TFSend> form_;
    std::unique_ptr<MainWindow> window_;
};

// Runs `answer` on the next modal window that opens (a message box, the save dialog), once: the test
// then does what opens it. Modal windows run their own event loop, which runs this.
// `accepts` picks the modal window meant (none: any).
inline void AnswerNextModal(std::function<void(QWidget*)> answer,
                            std::function<bool(QWidget*)> accepts = nullptr) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, accepts] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || (accepts && !accepts(modal))) return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}

// What a message box said, by its kind and text, once it has been answered with OK.
struct Box {
    QString kind;  // "MessageBox" or "ErrorBox"
    QString title;
    QString text;
};

inline bool IsQuestion(QWidget* modal) {
    return modal->objectName() == QStringLiteral("QuestionBox");
}

inline std::shared_ptr<Box> AnswerNextBox() {
    auto seen = std::make_shared<Box>();
    AnswerNextModal(
        [seen](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) return;
            *seen = Box{box->objectName(), box->windowTitle(), box->text()};
            box->button(QMessageBox::Ok)->click();
        },
        [](QWidget* modal) { return !IsQuestion(modal); });
    return seen;
}

// Answers the next question box with the button whose caption is `button` ("Да", "Не сохранять", ...);
// what it asked, and the captions of its buttons in their order, are kept.
struct Question {
    QString text;
    QStringList buttons;
};

inline std::shared_ptr<Question> AnswerNextQuestion(const QString& button) {
    auto seen = std::make_shared<Question>();
    AnswerNextModal(
        [seen, button](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) return;
            seen->text = box->text();
            QAbstractButton* pressed = nullptr;
            for (QAbstractButton* each : box->buttons()) {
                seen->buttons << each->text();
                if (each->text() == button) pressed = each;
            }
            if (pressed) pressed->click();
        },
        IsQuestion);
    return seen;
}

}  // namespace tarnwell::gui_testing
