// The Workspace without a window: every operation in every mode, the mode
// it leaves, the signals it sends and what undoing it gives back; and long
// random sequences of operations against a model of the modes of its own,
// whose generations come from the plain reference step.
#include <QtTest>

#include <QSignalSpy>
#include <QUndoStack>
#include <functional>
#include <random>

#include "reference/reference_engine.h"
#include "workspace/workspace.h"

using namespace hexlife;
using Mode = Workspace::Mode;

namespace {

const char* Name(Mode mode)
{
    switch (mode) {
    case Mode::Idle: return "Idle";
    case Mode::Editing: return "Editing";
    case Mode::Running: return "Running";
    case Mode::Paused: return "Paused";
    case Mode::Reviewing: return "Reviewing";
    case Mode::Ended: return "Ended";
    }
    return "?";
}

// Two cells that turn into a pair side by side and back, for ever, once
// «Пуск» places them on field cells (75, 58) and (76, 59); and one cell,
// which dies at the second tick.
PatternArray Oscillator()
{
    PatternArray pattern{};
    pattern[6 + PatternColLen * 7] = 1;
    pattern[7 + PatternColLen * 8] = 1;
    return pattern;
}
PatternArray Single()
{
    PatternArray pattern{};
    pattern[6 + PatternColLen * 7] = 1;
    return pattern;
}

// Each mode reached from a new Workspace as a user reaches it.
void Reach(Workspace& w, Mode mode)
{
    switch (mode) {
    case Mode::Idle: break;
    case Mode::Editing: w.openEditor(Oscillator()); break;
    case Mode::Running:
        w.openEditor(Oscillator());
        w.start();
        w.tick();
        break;
    case Mode::Paused:
        Reach(w, Mode::Running);
        w.tick();
        w.tick();
        w.togglePause();
        break;
    case Mode::Reviewing:
        Reach(w, Mode::Ended);
        w.first();
        break;
    case Mode::Ended:
        w.openEditor(Single());
        w.start();
        w.tick();
        w.tick();
        break;
    }
}

FieldArray WithCell(FieldArray field, int column, int row)
{
    field[size_t(FieldColLen * column + row)] = 1;
    return field;
}

const rule::Rule OtherRule = rule::Rule::Totalistic(1u << 2, (1u << 3) | (1u << 4));

struct Operation {
    const char* name;
    std::function<void(Workspace&)> apply;
};

const std::vector<Operation>& Operations()
{
    static const std::vector<Operation> operations = {
        {"tick", [](Workspace& w) { w.tick(); }},
        {"pause", [](Workspace& w) { w.togglePause(); }},
        {"step", [](Workspace& w) { w.step(); }},
        {"back", [](Workspace& w) { w.back(); }},
        {"first", [](Workspace& w) { w.first(); }},
        {"latest", [](Workspace& w) { w.latest(); }},
        {"figure", [](Workspace& w) { w.changePattern("фигура", false, [&] { w.openEditor(Single()); }); }},
        {"editor cell", [](Workspace& w) { w.toggleEditorCell(3); }},
        {"start", [](Workspace& w) { w.startChange(); }},
        {"again", [](Workspace& w) { w.runAgain(); }},
        {"draw", [](Workspace& w) { w.editField("клетки поля", WithCell(w.shownField(), 40, 40)); }},
        {"open field", [](Workspace& w) { w.putOnField(WithCell(WithCell({}, 75, 58), 76, 59), "поле"); }},
        {"rule", [](Workspace& w) { w.changeRule(OtherRule); }},
        {"end", [](Workspace& w) { w.endRun(); }},
        {"faster", [](Workspace& w) { w.slower(); w.faster(); }},
    };
    return operations;
}

constexpr Mode I = Mode::Idle, E = Mode::Editing, R = Mode::Running, P = Mode::Paused, V = Mode::Reviewing,
               D = Mode::Ended;

// The mode each operation leaves, from Idle, Editing, Running, Paused,
// Reviewing and Ended.
const std::map<std::string, std::array<Mode, 6>> Expected = {
    // A tick in review shows the empty generation after the last cell died.
    {"tick", {I, E, R, P, D, D}},
    {"pause", {I, E, P, R, R, D}},
    {"step", {I, E, R, P, D, D}},
    {"back", {I, E, R, P, V, V}},
    {"first", {I, E, R, P, V, V}},
    {"latest", {I, E, R, P, D, D}},
    {"figure", {E, E, E, E, E, E}},
    {"editor cell", {I, E, R, P, V, D}},
    {"start", {R, R, R, R, R, R}},
    {"again", {I, E, R, R, R, R}},
    // A cell drawn: a run paused at the edit; not while a run goes.
    {"draw", {P, P, R, P, P, P}},
    {"open field", {P, P, P, P, P, P}},
    // A new rule runs on what is shown: the empty generation of the ended
    // run ends again at once.
    {"rule", {I, E, R, P, P, D}},
    {"end", {I, E, D, D, D, D}},
    {"faster", {I, E, R, P, V, D}},
};

// What the random sequences check the Workspace against: the mode as its
// own state, with the generations the reference step makes.
struct Model {
    Mode mode = Mode::Idle;
    bool editor = false, review = false, ended = false;
    int count = 0, endCount = 0;
    std::vector<FieldArray> generations;
    FieldArray field{};
    PatternArray pattern{};

    bool browsable() const
    {
        return !generations.empty() &&
               (mode == Mode::Paused || mode == Mode::Reviewing || (mode == Mode::Ended && ended && !editor));
    }
    FieldArray shown() const
    {
        return count >= 1 && int(generations.size()) >= count ? generations[size_t(count - 1)] : field;
    }
    void stopped() { mode = editor ? Mode::Editing : generations.empty() ? Mode::Idle : Mode::Ended; }
    void tick()
    {
        reference::Run run;
        run.cells = field;
        run.cycleCount = count;
        reference::Tick(run);
        field = run.cells;
        count = run.cycleCount;
        if (count == int(generations.size())) {
            generations.push_back(field);
        }
        if (!run.running) {
            review = false;
            stopped();
            if (!ended && !generations.empty()) {
                ended = true;
                endCount = count;
            }
        }
    }
    void show(int cycle)
    {
        count = cycle;
        field = generations[size_t(cycle)];
        if (ended && cycle == endCount) {
            review = false;
            stopped();
        } else {
            review = ended;
            mode = ended ? Mode::Reviewing : Mode::Paused;
        }
    }
    void begin(const FieldArray& start, bool paused)
    {
        generations = {start};
        field = start;
        count = 0;
        ended = false;
        review = false;
        mode = paused ? Mode::Paused : Mode::Running;
    }
};

}  // namespace

class WorkspaceModeTest : public QObject {
    Q_OBJECT
private slots:
    void everyOperationInEveryMode_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("operation");
        for (int from = 0; from < 6; ++from) {
            for (int op = 0; op < int(Operations().size()); ++op) {
                QTest::addRow("%s, %s", Name(Mode(from)), Operations()[size_t(op)].name) << from << op;
            }
        }
    }
    void everyOperationInEveryMode()
    {
        QFETCH(int, from);
        QFETCH(int, operation);
        const Operation& op = Operations()[size_t(operation)];
        Workspace w;
        Reach(w, Mode(from));
        QCOMPARE(w.mode(), Mode(from));
        const FieldArray field = w.field(), shown = w.shownField();
        const PatternArray pattern = w.pattern();
        const int count = w.count(), changes = w.undoStack()->count();
        const bool editor = w.editorOpen();

        QSignalSpy modes(&w, &Workspace::modeChanged), shownSpy(&w, &Workspace::fieldShown),
            counts(&w, &Workspace::countChanged), runs(&w, &Workspace::runChanged);
        op.apply(w);
        const Mode after = w.mode();
        QCOMPARE(Name(after), Name(Expected.at(op.name)[size_t(from)]));
        // The mode is told once, as it is, and only when it changes.
        QCOMPARE(modes.count(), after == Mode(from) ? 0 : 1);
        if (!modes.isEmpty()) {
            QCOMPARE(modes.first().first().value<Mode>(), after);
        }
        // A going run that stops, or a run held, is the status's change too;
        // the editor opened over no run leaves the run as it was.
        if (after != Mode(from)) {
            QVERIFY(runs.count() == 1 || (after == Mode::Editing && (Mode(from) == Mode::Idle || Mode(from) == Mode::Ended)));
        }
        if (std::string(op.name) == "tick") {
            QCOMPARE(shownSpy.count(), 1);
            QCOMPARE(counts.count(), 1);
            QCOMPARE(int(w.count()), count + 1);
        }
        if (std::string(op.name) == "faster") {
            QCOMPARE(runs.count(), 2);
        }

        // A change made is undone to the field, the count, the pattern and
        // the mode it came from; a run going comes back held paused.
        if (w.undoStack()->count() > changes) {
            QCOMPARE(w.undoStack()->count(), changes + 1);
            QVERIFY(w.undo());
            QVERIFY(w.field() == field);
            QVERIFY(w.shownField() == shown);
            QCOMPARE(int(w.count()), count);
            QVERIFY(w.pattern() == pattern);
            QCOMPARE(w.editorOpen(), editor);
            QCOMPARE(Name(w.mode()), Name(Mode(from) == Mode::Running ? Mode::Paused : Mode(from)));
            // Done again, it is there as it was made, held paused.
            QVERIFY(w.redo());
            QCOMPARE(Name(w.mode()), Name(std::string(op.name) == "start" || std::string(op.name) == "again"
                                              ? Mode::Running
                                              : after == Mode::Running ? Mode::Paused
                                                                       : after));
        }
    }

    void randomSequencesFollowTheModel()
    {
        const std::array<PatternArray, 3> figures{Oscillator(), Single(), [] {
                                                      PatternArray p = Oscillator();
                                                      p[5 + PatternColLen * 6] = 1;
                                                      p[8 + PatternColLen * 6] = 1;
                                                      return p;
                                                  }()};
        int checked = 0;
        for (unsigned seed = 1; seed <= 12; ++seed) {
            std::mt19937 random(seed);
            auto pick = [&](int n) { return int(random() % unsigned(n)); };
            Workspace w;
            Model m;
            std::vector<Model> undo;
            QSignalSpy modes(&w, &Workspace::modeChanged);
            for (int action = 0; action < 150; ++action) {
                const Mode before = w.mode();
                modes.clear();
                const int op = pick(11);
                switch (op) {
                case 0: {  // a figure chosen
                    const PatternArray& figure = figures[size_t(pick(3))];
                    const Model was = m;
                    w.changePattern("фигура", false, [&] { w.openEditor(figure); });
                    m.editor = true;
                    m.review = false;
                    m.mode = Mode::Editing;
                    if (figure != m.pattern) {
                        undo.push_back(was);
                    }
                    m.pattern = figure;
                    break;
                }
                case 1:  // «Пуск», where the editor shows it
                    if (m.editor) {
                        undo.push_back(m);
                        w.startChange();
                        m.begin(reference::PlacePattern(m.pattern), false);
                        m.editor = false;
                    }
                    break;
                case 2:
                case 3:  // ticks of the timer
                    for (int n = pick(40); n > 0 && m.mode == Mode::Running; --n) {
                        w.tick();
                        m.tick();
                    }
                    break;
                case 4:  // Space
                    w.togglePause();
                    if (m.mode == Mode::Running) {
                        m.mode = m.review ? Mode::Reviewing : Mode::Paused;
                    } else if (m.mode == Mode::Paused || m.mode == Mode::Reviewing) {
                        m.mode = Mode::Running;
                        m.editor = false;
                    }
                    break;
                case 5: {  // → or N
                    w.step();
                    if (m.browsable() && !(m.ended && m.count >= m.endCount)) {
                        if (m.count + 1 < int(m.generations.size())) {
                            m.show(m.count + 1);
                        } else {
                            m.tick();
                        }
                    }
                    break;
                }
                case 6: {  // ←, Home, End
                    const int key = pick(3);
                    key == 0 ? w.back() : key == 1 ? w.first() : w.latest();
                    if (m.browsable()) {
                        const int last = int(m.generations.size()) - 1;
                        if (key == 0 && m.count > 1) m.show(m.count - 1);
                        if (key == 1 && last > 0) m.show(1);
                        if (key == 2 && last > 0) m.show(last);
                    }
                    break;
                }
                case 7:
                case 8: {  // a cell drawn near the middle
                    const int c = 70 + pick(8), r = 54 + pick(8);
                    const FieldArray edited = WithCell(m.shown(), c, r);
                    w.editField("клетки поля", edited);
                    if (m.mode != Mode::Running && edited != m.shown()) {
                        undo.push_back(m);
                        if (m.count <= 1) {
                            m.begin(edited, true);
                        } else {
                            const int shown = m.count - 1;
                            m.generations.resize(size_t(shown));
                            m.generations.push_back(edited);
                            m.field = edited;
                            m.count = shown;
                            m.ended = false;
                            m.review = false;
                            m.mode = Mode::Paused;
                        }
                        m.tick();
                    }
                    break;
                }
                case 9:  // Ctrl+R
                    w.runAgain();
                    if (!m.generations.empty() && !m.editor) {
                        undo.push_back(m);
                        m.begin(m.generations.front(), false);
                    }
                    break;
                case 10:  // Ctrl+Z
                    w.undo();
                    if (!undo.empty()) {
                        m = undo.back();
                        undo.pop_back();
                        if (m.mode == Mode::Running) {
                            m.mode = Mode::Paused;
                        }
                    }
                    break;
                }
                const QString where = QString("seed %1, action %2 (%3)").arg(seed).arg(action).arg(op);
                QVERIFY2(w.mode() == m.mode,
                         qPrintable(where + ": " + Name(w.mode()) + ", the model " + Name(m.mode)));
                QVERIFY2(w.editorOpen() == m.editor, qPrintable(where));
                QVERIFY2(int(w.count()) == m.count, qPrintable(where + QString(": count %1, the model %2")
                                                                           .arg(int(w.count()))
                                                                           .arg(m.count)));
                QVERIFY2(w.field() == m.field, qPrintable(where + ": field"));
                QVERIFY2(w.history().size() == int(m.generations.size()), qPrintable(where + ": generations"));
                QVERIFY2(modes.count() == (w.mode() == before ? 0 : 1), qPrintable(where + ": modeChanged"));
                ++checked;
            }
        }
        QCOMPARE(checked, 12 * 150);
    }
};

QTEST_GUILESS_MAIN(WorkspaceModeTest)
#include "test_workspace_mode.moc"
