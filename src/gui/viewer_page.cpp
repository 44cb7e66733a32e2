// The viewer page: drive box, folder tree, file list with its filter, the viewer grid, the current file
// and the save button. The browsing controls are the viewer's FileBrowser; the window writes the user's
// choices into it and shows what it holds.

#include <QApplication>
#include <QComboBox>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/control_binder.h"

#include <QLabel>
#include "gui/grid_view.h"
#include "gui/named_combo_box.h"
#include "gui/pages.h"
#include "gui/qt_text.h"
#include "viewer/file_filters.h"

namespace tarnwell {
namespace {

// Return or Enter on the file list opens the file like a double click: the keyboard's way to it.
class OpenOnEnter final : public QObject {
public:
    OpenOnEnter(QListWidget* list, std::function<void()> open) : QObject(list), open_(std::move(open)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        open_();
        return true;
    }

private:
    std::function<void()> open_;
};

// Keeps the tree's current folder in view while the model fills in behind it; the user's own clicks,
// keys and wheel end that.
class FollowCurrent final : public QObject {
public:
    explicit FollowCurrent(QTreeView* tree) : QObject(tree), tree_(tree) { tree->viewport()->installEventFilter(this); }
    void Start() {
        following_ = true;
        Later();
    }
    void Later() {
        if (!following_ || pending_) return;
        pending_ = true;
        QTimer::singleShot(0, this, [this] {
            pending_ = false;
            if (following_ && tree_->currentIndex().isValid()) {
                tree_->scrollTo(tree_->currentIndex(), QAbstractItemView::PositionAtCenter);
            }
        });
    }
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::Wheel:
            case QEvent::KeyPress:
                following_ = false;
                break;
            default:
                break;
        }
        return false;
    }

private:
    QTreeView* tree_;
    bool following_ = false;
    bool pending_ = false;
};

// The folder tree's pictures: one folder picture of the style for every folder. The desktop's icon theme,
// asked per folder, costs hundreds of file look-ups for each and made the first drawing of the window
// take a quarter of a second.
class FolderIcons final : public QObject, public QAbstractFileIconProvider {
public:
    explicit FolderIcons(QObject* parent) : QObject(parent) {}
    QIcon icon(IconType type) const override {
        if (type == Folder || type == Drive || type == Computer) return folder_;
        return QAbstractFileIconProvider::icon(type);
    }
    QIcon icon(const QFileInfo& info) const override { return info.isDir() ? folder_ : file_; }

private:
    QIcon folder_ = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    QIcon file_ = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
};

// The file list with a picture per file type, looked up once per extension: a folder of thousands of
// logs asks the desktop for a handful of icons.
class FileIcons {
public:
    QIcon For(const QString& folder, const QString& name) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString ext = dot < 0 ? QString() : name.mid(dot).toLower();
        auto found = icons_.find(ext);
        if (found != icons_.end()) return *found;
        QIcon icon = provider_.icon(QFileInfo(folder + QLatin1Char('/') + name));
        if (icon.isNull()) icon = provider_.icon(QAbstractFileIconProvider::File);
        icons_.insert(ext, icon);
        return icon;
    }

private:
    QFileIconProvider provider_;
    QHash<QString, QIcon> icons_;
};

}  // namespace

QWidget* MakeViewerPage(ControlBinder& binder) {
    FormControls& c = binder.Controls();
    FileBrowser& browser = binder.Form().Browser();

    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Horizontal);
    ControlBinder::NamePart(splitter, window_parts::kColumnSplitter);
    splitter->setHandleWidth(3);
    layout->addWidget(splitter);

    // The left column: drive box and folder tree above, the file list and its filter below.
    auto* left = new QWidget;
    auto* left_layout = new QVBoxLayout(left);
    left_layout->setContentsMargins(0, 0, 0, 0);
    left_layout->setSpacing(1);
    auto* drives = new NamedComboBox;
    ControlBinder::NamePart(drives, window_parts::kDriveBox);
    left_layout->addWidget(drives);
    auto* column_splitter = new QSplitter(Qt::Vertical);
    ControlBinder::NamePart(column_splitter, window_parts::kTreeSplitter);
    column_splitter->setHandleWidth(3);
    left_layout->addWidget(column_splitter, 1);

    auto* folders = new QFileSystemModel(page);
    folders->setIconProvider(new FolderIcons(folders));
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders->setReadOnly(true);
    auto* tree = new QTreeView;
    ControlBinder::NamePart(tree, window_parts::kFolderTree);
    tree->setModel(folders);
    for (int col = 1; col < folders->columnCount(); ++col) tree->hideColumn(col);
    tree->header()->hide();
    tree->setAnimated(false);
    // The model reads and sorts folders in the background: the folder shown is brought into view again
    // as its parents arrive, until the user works the tree himself.
    auto* follow = new FollowCurrent(tree);
    QObject::connect(folders, &QAbstractItemModel::layoutChanged, follow, [follow] { follow->Later(); });
    QObject::connect(folders, &QAbstractItemModel::rowsInserted, follow, [follow] { follow->Later(); });
    QObject::connect(folders, &QFileSystemModel::directoryLoaded, follow, [follow] { follow->Later(); });
    column_splitter->addWidget(tree);

    auto* files_box = new QWidget;
    auto* files_layout = new QVBoxLayout(files_box);
    files_layout->setContentsMargins(0, 0, 0, 0);
    files_layout->setSpacing(1);
    auto* files = new QListWidget;
    ControlBinder::NamePart(files, window_parts::kFileList);
    files->setUniformItemSizes(true);
    files->setIconSize(QSize(16, 16));
    files_layout->addWidget(files, 1);
    auto* filter = new NamedComboBox;
    ControlBinder::NamePart(filter, window_parts::kFileFilter);
    for (const FileFilter& item : kFileFilters) filter->addItem(ToQString(item.Caption));
    files_layout->addWidget(filter);
    column_splitter->addWidget(files_box);
    left->setMinimumWidth(60);
    splitter->addWidget(left);

    // The right side: the grid, and under it the current file and the save button.
    auto* right = new QWidget;
    auto* right_layout = new QVBoxLayout(right);
    right_layout->setContentsMargins(0, 0, 0, 0);
    right_layout->setSpacing(0);
    // The filter box above the table: Enter shows only the rows holding its text.
    auto* filter_bar = new QWidget;
    filter_bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* filter_layout = new QHBoxLayout(filter_bar);
    filter_layout->setContentsMargins(4, 2, 4, 2);
    QLineEdit* row_filter = binder.LineEdit(c.EFilter);
    filter_layout->addWidget(binder.CaptionStrip(c.EFilter, c.EFilter.Label, row_filter));
    filter_layout->addWidget(row_filter, 1);
    right_layout->addWidget(filter_bar);
    right_layout->addWidget(binder.TableView(c.SG1), 1);
    auto* bar = new QWidget;
    // As high as the edit and the button need in the font drawn (31 pixels as designed).
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* bar_layout = new QHBoxLayout(bar);
    bar_layout->setContentsMargins(4, 3, 4, 3);
    QLineEdit* current = binder.LineEdit(c.ECurrentFile, /*path=*/true);
    bar_layout->addWidget(binder.CaptionStrip(c.ECurrentFile, c.ECurrentFile.Label, current));
    bar_layout->addWidget(current, 1);
    bar_layout->addWidget(binder.PushButton(c.SBSave));
    right_layout->addWidget(bar);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({142, 400});

    // The user's choices.
    QObject::connect(drives, &QComboBox::activated, drives,
                     [&binder, &browser](int index) { binder.Act([&] { browser.UserSelectDrive(index); }); });
    QObject::connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, tree,
                     [&binder, &browser, folders](const QModelIndex& index) {
                         if (!index.isValid()) return;
                         const std::string folder = PathFromQString(folders->filePath(index));
                         binder.Act([&] { browser.UserSelectFolder(folder); });
                     });
    QObject::connect(files, &QListWidget::currentRowChanged, files,
                     [&binder, &browser](int row) { binder.Act([&] { browser.UserSelectFile(row); }); });
    auto open = [&binder, &browser, files] {
        const int row = files->currentRow();
        binder.Act([&] { browser.UserDoubleClickFile(row); });
    };
    QObject::connect(files, &QListWidget::itemDoubleClicked, files, [open](QListWidgetItem*) { open(); });
    files->installEventFilter(new OpenOnEnter(files, open));
    // The file list follows its folder: a file saved or removed there (by a save from this page, or a log
    // rotated by the proxy) shows at once. The list is read again once the job that wrote it has ended.
    auto* watcher = new QFileSystemWatcher(files);
    auto reread = std::make_shared<std::function<void()>>();
    *reread = [&binder, &browser, files, reread_weak = std::weak_ptr<std::function<void()>>(reread)] {
        if (binder.Form().Busy() || !browser.Enabled) {
            if (auto again = reread_weak.lock()) QTimer::singleShot(200, files, *again);
            return;
        }
        binder.Act([&] { browser.Files().Update(); });
    };
    QObject::connect(watcher, &QFileSystemWatcher::directoryChanged, files,
                     [files, reread] { QTimer::singleShot(50, files, *reread); });
    QObject::connect(filter, &QComboBox::activated, filter,
                     [&binder, &browser](int index) { binder.Act([&] { browser.UserSelectFilter(index); }); });

    // What the browser holds, shown again after every change; lists are rebuilt only when they differ.
    auto shown_drives = std::make_shared<std::vector<std::string>>();
    auto shown_files = std::make_shared<std::vector<std::string>>();
    auto shown_folder = std::make_shared<QString>();
    auto icons = std::make_shared<FileIcons>();
    binder.OnRefresh([=, &browser] {
        for (QWidget* widget : {static_cast<QWidget*>(drives), static_cast<QWidget*>(tree),
                                static_cast<QWidget*>(files), static_cast<QWidget*>(filter)}) {
            widget->setEnabled(browser.Enabled);
        }
        if (*shown_drives != browser.Drives()) {
            drives->clear();
            for (const std::string& drive : browser.Drives()) drives->addItem(PathToQString(drive));
            *shown_drives = browser.Drives();
        }
        drives->setCurrentIndex(browser.DriveIndex());

        const QString folder = PathToQString(browser.Folder());
        if (folder != *shown_folder) {
            // The tree shows the folders of the folder's drive, opened down to the folder.
            const int drive = browser.DriveIndex();
            const QString root =
                drive >= 0 ? PathToQString(browser.Drives()[static_cast<std::size_t>(drive)]) : QStringLiteral("/");
            folders->setRootPath(root);
            tree->setRootIndex(folders->index(root));
            const QModelIndex at = folders->index(folder);
            for (QModelIndex parent = at.parent(); parent.isValid(); parent = parent.parent()) tree->expand(parent);
            tree->setCurrentIndex(at);
            follow->Start();
            *shown_folder = folder;
        }

        const FileList& list = browser.Files();
        const QString directory_shown = PathToQString(list.Directory());
        if (!watcher->directories().contains(directory_shown)) {
            if (!watcher->directories().isEmpty()) watcher->removePaths(watcher->directories());
            if (!directory_shown.isEmpty()) watcher->addPath(directory_shown);
        }
        if (*shown_files != list.Items()) {
            files->clear();
            const QString directory = PathToQString(list.Directory());
            for (const std::string& name : list.Items()) {
                const QString text = PathToQString(name);
                new QListWidgetItem(icons->For(directory, text), text, files);
            }
            *shown_files = list.Items();
        }
        if (files->currentRow() != list.ItemIndex()) files->setCurrentRow(list.ItemIndex());
        filter->setCurrentIndex(browser.FilterIndex());
    });
    return page;
}

}  // namespace tarnwell
