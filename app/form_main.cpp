#include "app/form_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <optional>
#include <vector>

#include "app/form_controls.h"
#include "app/key_codes.h"
#include "app/path_box.h"
#include "window/path_boxes.h"

namespace {

using tamsel::ControlKind;
using tamsel::ControlRow;

// No colour: the palette's button text colour.
void SetColour(QWidget* widget, QPalette::ColorRole role, std::optional<tamsel::Rgb> colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour ? ToQColor(*colour) : palette.color(QPalette::ButtonText));
    widget->setPalette(palette);
}

QLabel* MakeLabel(QLabel* label, const ControlRow& row) {
    label->setText(QString::fromUtf8(row.caption));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    SetColour(label, QPalette::WindowText, row.text);
    return label;
}

// Copying or linking leaves the dragged file where it is; a move would let the file
// manager delete it once the window took the drop.
bool OfferNoMove(QDropEvent& event) {
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event.possibleActions() & action) {
            event.setDropAction(action);
            event.accept();
            return true;
        }
    }
    return false;
}

std::vector<tamsel::DroppedItem> ItemsOf(const QMimeData* data) {
    std::vector<tamsel::DroppedItem> items;
    for (const QUrl& url : data && data->hasUrls() ? data->urls() : QList<QUrl>()) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        items.push_back({path.toStdString(), !path.isEmpty() && QFileInfo(path).isDir()});
    }
    return items;
}

std::optional<tamsel::RunInput> BoxUnder(const QWidget& form, const QDropEvent& event) {
    for (QWidget* at = form.childAt(event.position().toPoint()); at; at = at->parentWidget()) {
        if (const auto* box = qobject_cast<const PathBox*>(at)) {
            return box->input();
        }
    }
    return std::nullopt;
}

bool OwnsDialog(const QWidget& form, const QWindow* window) {
    const QWidgetList tops = QApplication::topLevelWidgets();
    const auto top = std::ranges::find(tops, window, &QWidget::windowHandle);
    if (top == tops.end() || !qobject_cast<const QDialog*>(*top)) {
        return false;
    }
    for (const QWidget* owner = (*top)->parentWidget(); owner; owner = owner->parentWidget()) {
        if (owner == &form) {
            return true;
        }
    }
    return false;
}

void OrderTabStops(const QWidget& form) {
    const std::vector<const ControlRow*> stops = tamsel::TabStops();
    for (size_t i = 1; i < stops.size(); ++i) {
        QWidget::setTabOrder(form.findChild<QWidget*>(QLatin1StringView(stops[i - 1]->name)),
                             form.findChild<QWidget*>(QLatin1StringView(stops[i]->name)));
    }
}

// Returns the screen's available area; empty without a screen.
QRect CentreOnScreen(QWidget& window) {
    const QScreen* target = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QRect available = target ? target->availableGeometry() : QRect();
    if (target) {
        window.setGeometry(
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(), available));
    }
    return available;
}

}  // namespace

FormMain::FormMain(tamsel::DesktopServices& desktop, const std::string& programFolder,
                   Conversion conversion)
    : commands_(*this, desktop, tamsel::RealFileSystem(), std::move(conversion)) {
    Q_INIT_RESOURCE(tamsel);
    setObjectName(QStringLiteral("formMain"));
    setWindowTitle(QString::fromUtf8(tamsel::kApplicationTitle));
    QIcon icon;
    icon.addFile(QStringLiteral(":/images/tamsel-16.png"));
    icon.addFile(QStringLiteral(":/images/tamsel-32.png"));
    setWindowIcon(icon);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(ControlFont({}));
    setFixedSize(FormClientSize());

    buildControls();
    wireControls();
    std::vector<QWidget*> locked(txtFile.begin(), txtFile.end());
    locked.insert(locked.end(), btnOpen.begin(), btnOpen.end());
    locked.push_back(btnStart);
    runView_.setControls(std::move(locked));
    runView_.setCancel([this] { commands_.Runs()->Cancel(); });
    commands_.RunInBackground(runView_, runView_);
    OrderTabStops(*this);
    NameForScreenReaders(this);
    qApp->installEventFilter(this);
    commands_.Form_Load(programFolder, TAMSEL_HOMEPAGE);
    lblCredits->setToolTip(QString::fromStdString(commands_.CreditAddress()));
    txtFile[0]->setFocus();
    CentreOnScreen(*this);
}

FormMain::~FormMain() {
    // Hidden while the commands live: the focus that leaves a box as the window goes is
    // handed to them.
    hide();
}

std::string FormMain::BoxText(tamsel::RunInput box) const {
    return txtFile[static_cast<std::size_t>(box)]->currentText().toStdString();
}

void FormMain::SetBoxText(tamsel::RunInput box, const std::string& text) {
    txtFile[static_cast<std::size_t>(box)]->setEditText(QString::fromStdString(text));
}

void FormMain::FocusBox(tamsel::RunInput box) {
    txtFile[static_cast<std::size_t>(box)]->setFocus();
}

void FormMain::SetFolderRows(const std::vector<std::string>& rows, int chosen) {
    cboFolder->clear();
    for (const std::string& row : rows) {
        cboFolder->addItem(QString::fromStdString(row));
    }
    cboFolder->setCurrentIndex(chosen);
}

void FormMain::closeEvent(QCloseEvent* event) {
    // Closing while a run goes waits for the run to stop.
    event->setAccepted(commands_.CloseRequested());
}

void FormMain::buildControls() {
    // Created in table order, so that later rows lie on top: the band stays behind the
    // title and the picture, and the browse buttons over the boxes' right edges.
    for (const ControlRow& row : tamsel::FormControls()) {
        QWidget* control = createControl(row);
        control->setObjectName(QLatin1StringView(row.name));
        control->setGeometry(ControlRect(row));
        if (row.font.points > 0) {
            control->setFont(ControlFont(row.font));
        }
    }
}

QWidget* FormMain::createControl(const ControlRow& row) {
    switch (row.kind) {
        case ControlKind::Shape:
            return new RectangleShape(ToQColor(row.face.value_or(0)),
                                      ToQColor(row.line.value_or(0)), this);
        case ControlKind::Label:
            return MakeLabel(new QLabel(this), row);
        case ControlKind::ClickLabel:
            return MakeLabel(new ClickLabel(this), row);
        case ControlKind::Picture: {
            auto* picture = new QLabel(this);
            picture->setPixmap(QPixmap(QStringLiteral(":/images/header.jpg")));
            picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return picture;
        }
        case ControlKind::PathBox: {
            auto* box = new PathBox(tamsel::FindPathBox(row.name)->input, commands_, this);
            SetColour(box, QPalette::Text, row.text);
            return box;
        }
        case ControlKind::FolderList:
            // Not editable: the row offers the list's folders and nothing else.
            return new QComboBox(this);
        case ControlKind::BrowseButton:
        case ControlKind::StartButton: {
            auto* button = new QPushButton(QString::fromUtf8(row.caption), this);
            if (row.kind == ControlKind::BrowseButton) {
                // Clicking a browse button must not pull the focus out of the path box.
                button->setFocusPolicy(Qt::NoFocus);
            }
            if (row.face) {
                // Native styles draw buttons in the theme's colours and ignore the palette.
                auto* style = new ButtonStyle;
                style->setParent(button);
                button->setStyle(style);
                SetColour(button, QPalette::Button, row.face);
            }
            return button;
        }
    }
    return new QWidget(this);
}

// Finds the controls the window reaches and connects their events to the commands.
void FormMain::wireControls() {
    cboFolder = findChild<QComboBox*>("cboFolder");
    btnStart = findChild<QPushButton*>("btnStart");
    lblCredits = findChild<ClickLabel*>("lblCredits");
    for (const tamsel::PathBoxRow& row : tamsel::PathBoxes()) {
        const auto index = static_cast<std::size_t>(row.input);
        txtFile[index] = findChild<PathBox*>(QLatin1StringView(row.box));
        btnOpen[index] = findChild<QPushButton*>(QLatin1StringView(row.button));
        connect(btnOpen[index], &QPushButton::clicked, this,
                [this, box = row.input] { commands_.btnOpen_Click(box); });
        connect(findChild<ClickLabel*>(QLatin1StringView(row.label)), &ClickLabel::clicked, this,
                [this, box = row.input] { commands_.lblFile_Click(box); });
        txtFile[index]->lineEdit()->setAcceptDrops(false);
    }
    setAcceptDrops(true);
    connect(btnStart, &QPushButton::clicked, this, [this] { commands_.btnStart_Click(); });
    btnStart->setDefault(true);
    connect(lblCredits, &ClickLabel::clicked, this, [this] { commands_.lblCredits_Click(); });
    lblCredits->setCursor(Qt::PointingHandCursor);
}

void FormMain::cascade(int steps) {
    // About a title bar's height: enough that both title bars show.
    constexpr int kStep = 32;
    const QRect available = CentreOnScreen(*this);
    const QRect centred = geometry();
    const int fitting =
        std::min(available.right() - centred.right(), available.bottom() - centred.bottom()) /
        kStep;
    if (!available.isNull() && steps > 0 && fitting > 0) {
        const int offset = ((steps - 1) % fitting + 1) * kStep;
        setGeometry(centred.translated(offset, offset));
    }
}

void FormMain::keyPressEvent(QKeyEvent* event) {
    // Keys that reach the window from no control that handles them.
    if (commands_.KeyDown(ToKeyEvent(*event), nullptr)) {
        event->accept();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void FormMain::keyReleaseEvent(QKeyEvent* event) {
    commands_.KeyUp(ToKeyEvent(*event), nullptr);
    QWidget::keyReleaseEvent(event);
}

bool FormMain::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) {
        return false;
    }
    const tamsel::KeyEvent key = ToKeyEvent(*static_cast<QKeyEvent*>(event));
    if (watched == btnStart) {
        // A focused start button would click itself on Enter, and on every repeat of a held
        // one: the window's commands see its keys first.
        if (type == QEvent::KeyPress) {
            return commands_.KeyDown(key, nullptr);
        }
        commands_.KeyUp(key, nullptr);
        return false;
    }
    // A key comes to a window once, and from there to its widgets, each of which the
    // application's filters see again: a dialog's keys are taken where they reach its window.
    const auto* window = qobject_cast<const QWindow*>(watched);
    if (!window || !OwnsDialog(*this, window)) {
        return false;
    }
    return !(type == QEvent::KeyPress ? commands_.ModalKeyDown(key) : commands_.ModalKeyUp(key));
}

void FormMain::dragMoveEvent(QDragMoveEvent* event) {
    const auto items = ItemsOf(event->mimeData());
    if (!tamsel::DecideDrop(items, BoxUnder(*this, *event)).box || !OfferNoMove(*event)) {
        event->ignore();
    }
}

void FormMain::dropEvent(QDropEvent* event) {
    const auto items = ItemsOf(event->mimeData());
    if (!(event->possibleActions() & (Qt::CopyAction | Qt::LinkAction)) ||
        !commands_.FilesDropped(items, BoxUnder(*this, *event)) || !OfferNoMove(*event)) {
        event->ignore();
    }
}
