// The table of the window's commands beyond its buttons: each one's text,
// keys, when it can act and the procedure it calls. The context menu on the
// field, the list of keys and the tooltips that name keys come from it.
#include <climits>

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "app/recent_files.h"
#include "commands/command_table.h"
#include <QUndoStack>
#include "rle/pattern_files.h"
#include "screen/window_scale.h"
#include "surface/picture_box.h"

namespace hexlife {

void MainWindow::SetUpCommands()
{
    using G = CommandGroup;
    using K = QKeySequence;
    auto hasPattern = [this] { return Files->hasPattern(); };
    std::vector<Command> table = {
        // Where there is nothing to run, a word says what would start one.
        {G::Run, "Пауза или продолжение", {K(Qt::Key_Space)}, {}, [this] {
             if (Run.running()) {
                 RunPause();
             } else {
                 ShowNote(EditorShown()       ? QStringLiteral("Фигуру из редактора запускает «Пуск»")
                          : History.empty()   ? QStringLiteral("Нечего запускать: выберите фигуру слева")
                                              : QStringLiteral("Колония остановилась: Ctrl+R — снова"));
             }
         }},
        {G::Run, "Следующее поколение", {K(Qt::Key_Right), K(Qt::Key_N)}, [this] { return Work->canStep(); },
         [this] { RunStep(); }},
        {G::Run, "Предыдущее поколение", {K(Qt::Key_Left)}, [this] { return Work->canBrowse() && CycleCount > 1; },
         [this] { RunBack(); }},
        {G::Run, "Начальная фигура", {K(Qt::Key_Home)}, [this] { return Work->canBrowse() && CycleCount != 1; },
         [this] { RunFirst(); }},
        {G::Run, "Последнее поколение", {K(Qt::Key_End)},
         [this] { return Work->canBrowse() && CycleCount != History.size() - 1; }, [this] { RunLatest(); }},
        {G::Run, "Быстрее", {K(Qt::Key_Plus), K(Qt::Key_Equal)}, [this] { return Run.canGoFaster(); },
         [this] { RunFaster(); }},
        {G::Run, "Медленнее", {K(Qt::Key_Minus), K(Qt::Key_Underscore)}, [this] { return Run.canGoSlower(); },
         [this] { RunSlower(); }},
        {G::Run, "Начальную фигуру снова", {K(Qt::CTRL | Qt::Key_R)}, [this] { return Work->canRunAgain(); },
         [this] { RunAgain(); }},
        {G::Edit, "Отменить", {K(Qt::CTRL | Qt::Key_Z)}, [this] { return Undo->canUndo(); },
         [this] { UndoEdit(); }, [this] { return Undo->canUndo() ? "Отменить: " + Undo->undoText() : QStringLiteral("Отменить"); }},
        {G::Edit, "Повторить", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), K(Qt::CTRL | Qt::Key_Y)}, [this] { return Undo->canRedo(); },
         [this] { RedoEdit(); }, [this] { return Undo->canRedo() ? "Повторить: " + Undo->redoText() : QStringLiteral("Повторить"); }},
        {G::Edit, "Очистить поле", {K(Qt::Key_Delete)}, [this] { return Work->canEdit() && FieldHasCells(); }, [this] { ClearFieldCells(); },
         [this] { return Selection.empty() ? QStringLiteral("Очистить поле") : QStringLiteral("Очистить выделенное"); }},
        {G::Edit, "Заполнить случайно…", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_F)}, [this] { return Work->canEdit(); },
         [this] { AskFillField(); }},
        {G::Edit, "Вырезать выделенное", {K(Qt::CTRL | Qt::Key_X)}, [this] { return Work->canEdit() && FieldHasCells() && !Selection.empty(); },
         [this] { CutSelection(); }},
        {G::Edit, "Снять выделение", {K(Qt::Key_Escape)}, [this] { return !Selection.empty(); },
         [this] { SelectCells({}); }},
        {G::Edit, "Повернуть выделенное по часовой стрелке", {K(Qt::Key_Greater)},
         [this] { return CanTransformSelection(); },
         [this] { TransformSelection({1, false}, QStringLiteral("поворот по часовой стрелке")); }},
        {G::Edit, "Повернуть выделенное против часовой стрелки", {K(Qt::Key_Less)},
         [this] { return CanTransformSelection(); },
         [this] { TransformSelection({5, false}, QStringLiteral("поворот против часовой стрелки")); }},
        {G::Edit, "Отразить выделенное слева направо", {K(Qt::Key_X)}, [this] { return CanTransformSelection(); },
         [this] { TransformSelection({0, true}, QStringLiteral("отражение слева направо")); }},
        {G::Edit, "Отразить выделенное сверху вниз", {K(Qt::Key_Y)}, [this] { return CanTransformSelection(); },
         [this] { TransformSelection({3, true}, QStringLiteral("отражение сверху вниз")); }},
        {G::Figure, "Открыть фигуру…", {K(K::Open)}, {}, [this] { Files->askOpen(); }},
        {G::Figure, "Сохранить фигуру…", {K(K::Save)}, hasPattern, [this] { Files->askSave(); }},
        {G::Figure, "Копировать фигуру", {K(K::Copy)}, hasPattern, [this] { Files->copy(); }},
        {G::Figure, "Вставить фигуру", {K(K::Paste)}, {}, [this] { Files->paste(PointerCell()); }},
        {G::Figure, "Недавние фигуры", {}, [] { return !RecentFiles().isEmpty(); }, [] {}, {},
         [this] { return RecentEntries(); }},
        {G::View, "Копировать поле", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}, [this] { return FieldHasCells(); },
         [this] { CopyField(); },
         [this] { return Selection.empty() ? QStringLiteral("Копировать поле") : QStringLiteral("Копировать выделенное"); }},
        {G::View, "Сохранить поле как RLE…", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, [this] { return FieldHasCells(); },
         [this] { SaveFieldRle(); }},
        {G::View, "Сохранить поле как картинку…", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_P)}, {}, [this] { SaveFieldPng(); }},
        {G::View, "Ход колонии", {K(Qt::CTRL | Qt::Key_G)}, [this] { return !History.empty(); },
         [this] { ShowPlot(); }},
        {G::View, "Поиск фигур…", {K(K::Find)}, {}, [this] { ShowSearch(); }},
        {G::View, "Правило…", {K(Qt::CTRL | Qt::Key_U)}, {}, [this] { AskRule(); }},
        {G::View, "Крупнее", {K(K::ZoomIn), K(Qt::CTRL | Qt::Key_Equal)}, [this] { return CanZoomIn(); },
         [this] { ZoomIn(); }},
        {G::View, "Мельче", {K(K::ZoomOut)}, [this] { return WindowScale > MinWindowScale + 1e-6; },
         [this] { ZoomOut(); }},
        {G::View, "Обычный размер", {K(Qt::CTRL | Qt::Key_0)}, [this] { return Zoom != 1.0; }, [this] { ZoomReset(); }},
        {G::Help, "Клавиши и команды", {K(K::HelpContents)}, {}, [this] { ShowKeyList(); }},
        {G::Hidden, "Меню команд", {K(Qt::Key_Menu), K(Qt::SHIFT | Qt::Key_F10)}, {},
         [this] { Commands->popUp(Picture1->mapToGlobal(Picture1->rect().center()), false); }},
    };
    Commands = new CommandTable(this, std::move(table));

    Picture1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Picture1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Commands->popUp(Picture1->mapToGlobal(at)); });

    // Tooltips name the keys of the commands the control is about.
    const QString menuNote = QStringLiteral("\nЩелчок правой кнопкой — все команды.");
    Picture1->setToolTip(Commands->keysTip(G::Run) + menuNote);
    Label1->setToolTip(Commands->keysTip(G::Run));
    Picture3->setToolTip(Commands->keysTip(G::Figure));
    Picture4->setToolTip(QStringLiteral("Щелчок снова открывает начальную фигуру для правки.\n") +
                         Commands->keysTip(G::Figure));
    // «Справка» shows the help text; the tooltip tells where the rest is.
    Command5->setToolTip(Commands->keysTip(G::Help) + QStringLiteral(".\nЩелчок правой кнопкой по полю — все команды."));
}

// The list of keys stays open beside the field: the run's keys work in it
// as in the main window.
void MainWindow::ShowKeyList()
{
    if (KeyList == nullptr) {
        KeyList = new QDialog(this);
        KeyList->setWindowTitle(RuleName().isEmpty() ? QStringLiteral("Клавиши и команды")
                                                     : "Клавиши и команды — правило " + RuleName());
        KeyList->setAccessibleName(QStringLiteral("Клавиши и команды"));
        auto* text = new QLabel(Commands->keyList() +
                                    QStringLiteral("\n\nВсе команды есть и в меню поля (правая кнопка мыши)."),
                                KeyList);
        text->setTextFormat(Qt::PlainText);
        text->setAccessibleName(QStringLiteral("Список клавиш"));
        auto* close = new QPushButton(QStringLiteral("Закрыть"), KeyList);
        close->setAccessibleName(QStringLiteral("Закрыть"));
        connect(close, &QPushButton::clicked, KeyList, &QDialog::close);
        // As tall as the list where the work area holds it, else shorter
        // with a scroll bar, so that its title bar stays on the screen.
        auto* scroll = new QScrollArea(KeyList);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setWidget(text);
        auto* layout = new QVBoxLayout(KeyList);
        layout->addWidget(scroll);
        layout->addWidget(close, 0, Qt::AlignRight);
        const QMargins margins = layout->contentsMargins();
        const int chrome = margins.top() + margins.bottom() + layout->spacing() + close->sizeHint().height() +
                           (frameGeometry().height() - height());
        const int room = screen() != nullptr ? screen()->availableGeometry().height() - chrome : INT_MAX;
        const QSize list = text->sizeHint();
        const bool clipped = list.height() > room;
        scroll->setMinimumSize(list.width() + (clipped ? scroll->verticalScrollBar()->sizeHint().width() : 0),
                               std::min(list.height(), room));
        Commands->attachTo(KeyList);
        KeyList->adjustSize();
        PlaceBeside(KeyList);
    }
    KeyList->show();
    KeyList->raise();
    KeyList->activateWindow();
}

}  // namespace hexlife
