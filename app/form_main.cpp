#include "app/form_main.h"

#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>
#include <vector>

#include "app/click_label.h"
#include "app/desktop.h"
#include "app/form_layout.h"
#include "app/open_dialog.h"
#include "app/path_box.h"
#include "app/program_folder.h"
#include "app/rectangle_shape.h"
#include "support/file_probe.h"
#include "support/path.h"

#ifndef TAMSEL_HOMEPAGE
#define TAMSEL_HOMEPAGE ""
#endif

namespace {

struct BrowseDialog {
    const char* filter;
    const char* title;
};

constexpr std::array<BrowseDialog, 2> kBrowseDialogs{{
    {"Text File (*.txt)|*.txt|Firefox Bookmarks (*.html)|*.html", "Open File with URLs"},
    {"XML File (Links.xml)|Links.xml", "Open Links.xml"},
}};

// The member of a control array a name stands for: "txtFile1" is 1; -1 for other names.
int ArrayIndex(const char* name) {
    const QLatin1StringView text(name);
    return text.endsWith('0') ? 0 : text.endsWith('1') ? 1 : -1;
}

void SetTextColour(QWidget* widget, QPalette::ColorRole role, std::optional<QRgb> colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour ? QColor(*colour) : palette.color(QPalette::ButtonText));
    widget->setPalette(palette);
}

QLabel* MakeLabel(QLabel* label, const ControlRow& row) {
    label->setText(QString::fromUtf8(row.caption));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    SetTextColour(label, QPalette::WindowText, row.text);
    return label;
}

}  // namespace

FormMain::FormMain(Desktop& desktop, const QString& programDirectory, Conversion conversion,
                   QWidget* parent)
    : QWidget(parent), desktop_(desktop), conversion_(std::move(conversion)) {
    Q_INIT_RESOURCE(tamsel);
    if (!conversion_) {
        conversion_ = [](const tamsel::RunPaths& paths) { return tamsel::RunConversion(paths); };
    }
    setObjectName(QStringLiteral("formMain"));
    setWindowTitle(QStringLiteral("Tamsel"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/images/tamsel-16.png"));
    icon.addFile(QStringLiteral(":/images/tamsel-32.png"));
    setWindowIcon(icon);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(FormFont());
    setFixedSize(FormClientSize());

    buildControls();
    wireControls();
    orderTabStops();
    Form_Load(programDirectory);
    lblCredits->setToolTip(CreditAddress(QStringLiteral(TAMSEL_HOMEPAGE), AppFolder));
    txtFile[0]->setFocus();
    centreOnScreen();
}

void FormMain::buildControls() {
    // Created in table order, so that later rows lie on top: the band stays behind the
    // title and the picture, and the browse buttons over the boxes' right edges.
    for (const ControlRow& row : FormControls()) {
        QWidget* control = createControl(row);
        control->setObjectName(QLatin1StringView(row.name));
        control->setGeometry(ControlRect(row));
        if (row.font.points > 0) {
            control->setFont(ControlFont(row.font));
        }
    }
    txtFile = {findChild<PathBox*>("txtFile0"), findChild<PathBox*>("txtFile1")};
    btnOpen = {findChild<QPushButton*>("btnOpen0"), findChild<QPushButton*>("btnOpen1")};
    lblFile = {findChild<ClickLabel*>("lblFile0"), findChild<ClickLabel*>("lblFile1")};
    btnStart = findChild<QPushButton*>("btnStart");
    lblCredits = findChild<ClickLabel*>("lblCredits");
    lblTitle2 = findChild<QLabel*>("lblTitle2");
    Label1 = findChild<QLabel*>("Label1");
    Image1 = findChild<QLabel*>("Image1");
    Shape1 = findChild<RectangleShape*>("Shape1");
}

QWidget* FormMain::createControl(const ControlRow& row) {
    switch (row.kind) {
        case ControlKind::Shape:
            return new RectangleShape(QColor(row.face.value_or(0)), QColor(row.line.value_or(0)),
                                      this);
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
            auto* box = new PathBox(ArrayIndex(row.name), this);
            SetTextColour(box, QPalette::Text, row.text);
            return box;
        }
        case ControlKind::BrowseButton:
        case ControlKind::StartButton: {
            auto* button = new QPushButton(QString::fromUtf8(row.caption), this);
            button->setAutoDefault(false);
            if (row.kind == ControlKind::BrowseButton) {
                // Clicking a browse button must not pull the focus out of the path box.
                button->setFocusPolicy(Qt::NoFocus);
            }
            if (row.face) {
                // Native styles draw buttons in the theme's colours and ignore the palette;
                // Fusion paints the face in the colour given, on every platform.
                QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"));
                style->setParent(button);
                button->setStyle(style);
                QPalette palette = button->palette();
                palette.setColor(QPalette::Button, QColor(*row.face));
                button->setPalette(palette);
            }
            return button;
        }
    }
    return new QWidget(this);
}

void FormMain::wireControls() {
    for (int index = 0; index < 2; ++index) {
        connect(txtFile[index], &PathBox::browseRequested, this, &FormMain::btnOpen_Click);
        connect(btnOpen[index], &QPushButton::clicked, this,
                [this, index] { btnOpen_Click(index); });
        connect(lblFile[index], &ClickLabel::clicked, this,
                [this, index] { lblFile_Click(index); });
    }
    connect(btnStart, &QPushButton::clicked, this, &FormMain::btnStart_Click);
    btnStart->setDefault(true);
    btnStart->installEventFilter(this);
    connect(lblCredits, &ClickLabel::clicked, this, &FormMain::lblCredits_Click);
    lblCredits->setCursor(Qt::PointingHandCursor);
}

void FormMain::orderTabStops() {
    std::vector<const ControlRow*> stops;
    for (const ControlRow& row : FormControls()) {
        if (row.tabIndex >= 0) {
            stops.push_back(&row);
        }
    }
    std::sort(stops.begin(), stops.end(),
              [](const ControlRow* a, const ControlRow* b) { return a->tabIndex < b->tabIndex; });
    for (size_t i = 1; i < stops.size(); ++i) {
        QWidget::setTabOrder(findChild<QWidget*>(QLatin1StringView(stops[i - 1]->name)),
                             findChild<QWidget*>(QLatin1StringView(stops[i]->name)));
    }
}

void FormMain::Form_Load(const QString& programDirectory) {
    AppFolder = AppFolderOf(programDirectory);
    const char separator = QDir::separator().toLatin1();
    const std::string list = AppFolder + "url.txt";
    if (tamsel::FileExists(list)) {
        txtFile[0]->setEditText(QString::fromStdString(list));
    }
    const std::string menu = AppFolder + "FEATURES" + separator + "Links.xml";
    if (tamsel::FileExists(menu)) {
        txtFile[1]->setEditText(QString::fromStdString(menu));
    }
}

void FormMain::centreOnScreen() {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (target) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        target->availableGeometry()));
    }
}

void FormMain::btnOpen_Click(int index) {
    if (index < 0 || index >= static_cast<int>(kBrowseDialogs.size())) {
        return;
    }
    const BrowseDialog& dialog = kBrowseDialogs[index];
    const QString chosen =
        ShowOpenDialog(desktop_, this, QString::fromUtf8(dialog.filter),
                       QString::fromUtf8(dialog.title), txtFile[index]->currentText());
    if (!chosen.isEmpty()) {
        txtFile[index]->setEditText(chosen);
    }
}

void FormMain::lblFile_Click(int index) {
    if (index < 0 || index >= static_cast<int>(txtFile.size())) {
        return;
    }
    const std::string folder = tamsel::ExtractPath(txtFile[index]->currentText().toStdString());
    desktop_.openPath(QString::fromStdString(folder));
}

void FormMain::lblCredits_Click() {
    desktop_.openUrl(lblCredits->toolTip());
}

void FormMain::btnStart_Click() {
    const tamsel::RunPaths paths{txtFile[0]->currentText().toStdString(),
                                 txtFile[1]->currentText().toStdString(), AppFolder};
    const tamsel::RunOutcome outcome = conversion_(paths);
    desktop_.showMessage(this, QString::fromStdString(outcome.message), outcome.icon);
    if (outcome.focusBox == 0 || outcome.focusBox == 1) {
        txtFile[outcome.focusBox]->setFocus();
    }
    if (outcome.status == tamsel::RunStatus::Done) {
        desktop_.openPath(QString::fromStdString(outcome.folderToOpen));
    }
}

bool FormMain::pressDefaultButton(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool plain = modifiers == Qt::NoModifier ||
                       (modifiers == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (!plain || (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)) {
        return false;
    }
    // A held Enter repeats; without this check the repeat that follows the closing of the
    // "Done" box would start the run again and insert every link a second time.
    if (!event->isAutoRepeat()) {
        btnStart->click();
    }
    event->accept();
    return true;
}

void FormMain::keyPressEvent(QKeyEvent* event) {
    if (!pressDefaultButton(event)) {
        QWidget::keyPressEvent(event);
    }
}

bool FormMain::eventFilter(QObject* watched, QEvent* event) {
    // The focused start button would click itself on every repeat of a held Enter.
    if (watched == btnStart && event->type() == QEvent::KeyPress) {
        return pressDefaultButton(static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}
