#include "app/main_window.h"

#include <algorithm>
#include <tuple>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/exit_question.h"
#include "app/help_text.h"
#include "app/recent_files.h"
#include "commands/command_table.h"
#include "rle/pattern_files.h"
#include "screen/frame_pacer.h"
#include "screen/window_scale.h"
#include "surface/picture_box.h"

namespace hexlife {

namespace {

QRect ToRect(const Box& box) { return QRect(box.left, box.top, box.width, box.height); }

std::int16_t ButtonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

std::int16_t ShiftCode(Qt::KeyboardModifiers modifiers)
{
    return std::int16_t((modifiers & Qt::ShiftModifier ? 1 : 0) |
                        (modifiers & Qt::ControlModifier ? 2 : 0) |
                        (modifiers & Qt::AltModifier ? 4 : 0));
}

// Widens a label, from its left edge, to fit the widest text it will show.
void FitLabel(QLabel* label, const Box& box, const char* widestText)
{
    const QString caption = label->text();
    label->setText(QString::fromUtf8(widestText));
    const int width = std::max(box.width, label->sizeHint().width());
    label->setText(caption);
    label->setGeometry(box.left, box.top, width, box.height);
}

}  // namespace

void NameLabelValue(QLabel* label, const char* what)
{
    const QString text = label->text().trimmed();
    const QString name = text.isEmpty() ? QString::fromUtf8(what) : QString::fromUtf8(what) + ": " + text;
    if (label->accessibleName() != name) {
        label->setAccessibleName(name);
    }
}

MainWindow::MainWindow(QWidget* parent) : QWidget(parent), Work(new Workspace(this))
{
    SetUpLayout();
    Form_Load();
}

void MainWindow::SetUpLayout()
{
    setWindowTitle(QString::fromUtf8(WindowCaption));
    BaseFont = font();

    // Created in tab order; the editor after the field, so it lies above it.
    Command1 = new QPushButton(QString::fromUtf8(Command1Caption), this);
    Command3 = new QPushButton(QString::fromUtf8(Command3Caption), this);
    Picture1 = new PictureBox(this);
    Picture1->place(ToRect(Picture1Box));
    Picture1->setBorder(true);
    Picture1->setBackgroundColorRole(QPalette::Base);
    Picture1->setAccessibleName(QStringLiteral("Поле"));
    // The keyboard's focus rests on the field, so that Space pauses a run and
    // never presses a button the user did not Tab to.
    Picture1->setFocusPolicy(Qt::StrongFocus);
    Label1 = new QLabel(QString::fromUtf8(Label1Caption), this);
    Label1->setAccessibleName(QString::fromUtf8(Label1Name));
    // The count is repainted with every frame of a run: plain text, and its
    // own background, so that nothing under it is painted again with it.
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAutoFillBackground(true);
    Label2 = new QLabel(QString::fromUtf8(Label2Caption), this);
    Command5 = new QPushButton(QString::fromUtf8(Command5Caption), this);
    for (int k = 0; k < FigureCount; ++k) {
        Picture2[k] = new PictureBox(this, k);
        Picture2[k]->place(ToRect(Picture2Box(k)));
        Picture2[k]->setBackgroundColorRole(QPalette::Window);
        Picture2[k]->setAccessibleName(QStringLiteral("Фигура %1").arg(k + 1));
        Picture2[k]->installEventFilter(this);  // its tooltip: the figure's fate
    }
    Picture3 = new PictureBox(this);
    Picture3->place(ToRect(Picture3Box));
    Picture3->setBorder(true);
    Picture3->setBackgroundColorRole(QPalette::HighlightedText);
    Picture3->setAccessibleName(QStringLiteral("Редактор фигуры"));
    Picture4 = new PictureBox(this);
    Picture4->place(ToRect(Picture4Box));
    Picture4->setBackgroundColorRole(QPalette::HighlightedText);
    Picture4->setAccessibleName(QStringLiteral("Начальная фигура"));
    Label3 = new QLabel(this);
    Label3->setAccessibleName(QString::fromUtf8(Label3Name));
    Label3->setAlignment(Qt::AlignCenter);
    Label4 = new QLabel(this);
    Label4->setAccessibleName(QString::fromUtf8(Label4Name));
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ApplyScale(1.0);

    // Buttons take the focus from Tab only, not from a click.
    for (QPushButton* button : {Command1, Command3, Command5}) {
        button->setFocusPolicy(Qt::TabFocus);
    }
    Picture1->setFocus();

    // Tab order follows the creation order above.
    QWidget* previous = nullptr;
    for (QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (previous != nullptr) {
            setTabOrder(previous, control);
        }
        previous = control;
    }

    Pacer = new FramePacer(this);
    Files = new PatternFiles(this, Work->pattern(), Work->rule());
    connect(Files, &PatternFiles::patternRead, this,
            [this](const PatternArray& pattern, const QString& how, PatternFiles::Source source, const rule::Rule& rule) {
                if (rule == FieldRule) {
                    EditPattern(how, [this, &pattern] { PatternFile_Open(pattern); },
                                source == PatternFiles::Source::Clipboard);
                } else {
                    OpenWithRule(pattern, how, source == PatternFiles::Source::Clipboard, rule);
                }
                if (source == PatternFiles::Source::File) Unsaved->markSaved(WorkPart::Pattern);
            });
    connect(Files, &PatternFiles::fieldRead, this,
            [this](const FieldArray& field, const QString& how, PatternFiles::Source source, const rule::Rule& rule) {
                PutOnField(field, how, rule);
                if (source == PatternFiles::Source::File) Unsaved->markSaved(WorkPart::Field);
            });
    connect(Files, &PatternFiles::cellsPasted, this,
            [this](const std::vector<int>& cells, const QString& how, const rule::Rule& rule) {
                AddToField(cells, how, rule);
            });
    connect(Files, &PatternFiles::patternSaved, this, [this](const QString& path) {
        Unsaved->markSaved(WorkPart::Pattern);
        RememberRecent(path);
    });
    connect(Files, &PatternFiles::fileOpened, this, &RememberRecent);

    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(TimerIntervalMs);

    // «Пуск» replaces the field and the run on it: a change to undo.
    connect(Command1, &QPushButton::clicked, Work, &Workspace::startChange);
    connect(Command3, &QPushButton::clicked, this, &MainWindow::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &MainWindow::Command5_Click);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1_Timer);
    SetUpWorkspace();
    SetUpCommands();
    for (PictureBox* thumbnail : Picture2) {
        connect(thumbnail, &PictureBox::released, this,
                [this](int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                       QPointF at) {
                    EditPattern(QStringLiteral("фигура %1").arg(index + 1), [&] {
                        Picture2_MouseUp(std::int16_t(index), ButtonCode(button), ShiftCode(modifiers),
                                         float(at.x()), float(at.y()));
                    });
                });
    }
    connect(Picture3, &PictureBox::released, this,
            [this](int, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at) {
                EditPattern(QStringLiteral("клетка фигуры"), [&] {
                    Picture3_MouseUp(ButtonCode(button), ShiftCode(modifiers), float(at.x()), float(at.y()));
                }, true);
            });
    connect(Picture4, &PictureBox::released, this,
            [this](int, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at) {
                Picture4_MouseUp(ButtonCode(button), ShiftCode(modifiers), float(at.x()),
                                 float(at.y()));
            });
}

Box MainWindow::ScaledBox(const Box& box) const
{
    if (WindowScale == 1.0) {
        return box;
    }
    // Edges scaled and rounded, so that neighbouring controls stay neighbours.
    auto at = [this](int v) { return ScaledEdge(v, WindowScale); };
    return {at(box.left), at(box.top), at(box.left + box.width) - at(box.left), at(box.top + box.height) - at(box.top)};
}

QFont MainWindow::ScaledFont() const
{
    QFont font = BaseFont;
    if (WindowScale != 1.0) {
        font.setPointSizeF(BaseFont.pointSizeF() * WindowScale);
    }
    return font;
}

// Lays the window out at a scale: its size, the buttons with their captions,
// the picture boxes and the top bar's labels, in the same proportions.
void MainWindow::ApplyScale(double Scale)
{
    WindowScale = Scale;
    ContentOffset = QPoint(0, 0);  // every control is placed anew below
    const Box client = ScaledBox({0, 0, ClientWidth, ClientHeight});
    // Maximized, the window manager gives the size.
    if (!isMaximized()) {
        setFixedSize(client.width, client.height);
    }
    for (auto [button, box] : {std::pair{Command1, Command1Box}, {Command3, Command3Box}, {Command5, Command5Box}}) {
        button->setFont(ScaledFont());
        button->setGeometry(ToRect(ScaledBox(box)));
    }
    for (PictureBox* box : findChildren<PictureBox*>(QString(), Qt::FindDirectChildrenOnly)) {
        box->setScale(Scale);
    }
    FitTopBar();
    CentreContent();
}

// Maximized, the window is larger than its content: the content stands in
// its middle, every control moved by the same offset; otherwise at 0, 0.
void MainWindow::CentreContent()
{
    const Box client = ScaledBox({0, 0, ClientWidth, ClientHeight});
    const QPoint offset = isMaximized() ? QPoint(std::max(0, (width() - client.width) / 2),
                                                 std::max(0, (height() - client.height) / 2))
                                        : QPoint(0, 0);
    if (offset == ContentOffset) return;
    for (QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!control->isWindow()) control->move(control->pos() + offset - ContentOffset);
    }
    ContentOffset = offset;
}

// Fits the labels of the top bar into the room between the buttons: the
// caption and the count before «Выход», the status between «Выход» and
// «Справка», the fate right of «Справка». At the usual font sizes they fit
// as laid out; a larger desktop font is made smaller for them until they
// fit, so that no label covers a button or takes its clicks. The status
// and the fate are fitted each on its own, so that what they may show
// never changes how the caption and the count look.
void MainWindow::FitTopBar()
{
    const Box label1 = ScaledBox(Label1Box), label2 = ScaledBox(Label2Box), exit = ScaledBox(Command3Box);
    // Sized freely while fitted, fixed after (below).
    for (QLabel* label : {Label1, Label2, Label3, Label4}) {
        label->setMinimumSize(0, 0);
        label->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    QFont font = ScaledFont();
    for (;;) {
        for (QLabel* label : {Label1, Label2}) {
            label->setFont(font);
        }
        FitLabel(Label2, label2, Label2Caption);
        // Where the caption reaches past the count's left edge, the count's
        // digits start one blank after it instead of under it: a margin of
        // the label's own, so that the area a new count repaints (its
        // contents) leaves the caption alone, tick after tick.
        const int captionEnd = label2.left + Label2->sizeHint().width();
        Label1->setContentsMargins(
            captionEnd > label1.left ? captionEnd - label1.left + Label1->fontMetrics().horizontalAdvance(' ') : 0, 0,
            0, 0);
        FitLabel(Label1, label1, Label1WidestText);
        const bool fits = Label1->geometry().right() < exit.left && Label2->geometry().right() < exit.left &&
                          Label2->sizeHint().height() <= label2.height;
        if (fits || font.pointSizeF() <= MinTopBarPointSize) {
            break;
        }
        font.setPointSizeF(std::max(MinTopBarPointSize, font.pointSizeF() - 0.5));
    }
    Label1->setGeometry(Label1->x(), Label1->y(), std::min(Label1->width(), exit.left - Label1->x()),
                        Label1->height());
    Label2->setGeometry(Label2->x(), Label2->y(), std::min(Label2->width(), exit.left - Label2->x()),
                        Label2->height());
    for (auto [label, box, widest] : {std::tuple{Label3, ScaledBox(Label3Box), Label3WidestText},
                                      {Label4, ScaledBox(Label4Box), Label4WidestText}}) {
        const QString shown = label->text();
        label->setText(QString::fromUtf8(widest));
        QFont own = font;
        label->setFont(own);
        while (own.pointSizeF() > MinTopBarPointSize &&
               (label->sizeHint().width() > box.width || label->sizeHint().height() > box.height)) {
            own.setPointSizeF(std::max(MinTopBarPointSize, own.pointSizeF() - 0.5));
            label->setFont(own);
        }
        label->setText(shown);
        label->setGeometry(ToRect(box));
    }
    // A label of a fixed size asks for no new layout when its text changes:
    // the count changes with every tick.
    for (QLabel* label : {Label1, Label2, Label3, Label4}) {
        label->setFixedSize(label->size());
    }
}

bool MainWindow::event(QEvent* event)
{
    // Before a key is matched against the commands' shortcuts: Space is
    // left to a button that has the focus.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier &&
            qobject_cast<QPushButton*>(focusWidget()) != nullptr) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void MainWindow::Form_Load()
{
    Picture3->setVisible(false);
    Timer1->stop();
    Command1->setEnabled(false);
    // Every picture box measures in pixels, and the sizes, the rule and the
    // colours are the constants of the shared state.
    HelpText = ComposeHelpText();
    FigureLibrary.fill(0);
    FieldCellY.fill(0);
    FieldCellX.fill(0);
    EditorCellY.fill(0);
    EditorCellX.fill(0);
    PreviewCellY.fill(0);
    PreviewCellX.fill(0);

    LoadFigureLibrary();
    DrawThumbnails();
    BuildFieldGrid();
    BuildEditorGrid();
    BuildPreviewGrid();
}

void MainWindow::Command5_Click()
{
    // The box shows the CR LF breaks of the help text as line breaks.
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(HelpTitle),
                    QString::fromStdString(HelpText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void MainWindow::Command3_Click()
{
    // Work by hand not in a file is asked about first.
    if (!MayEnd(*this)) {
        return;
    }
    Timer1->stop();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!MayEnd(*this)) {
        event->ignore();
        return;
    }
    Timer1->stop();
    event->accept();
    QCoreApplication::quit();
}

}  // namespace hexlife
