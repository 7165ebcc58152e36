#pragma once

#include "editbox/Clipboard.h"
#include "editbox/EditBox.h"
#include "undo/clsUndo.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// A random user for differential and property tests: one action at a time
// on a box bound to an engine. Drivers turn an action into real events.
struct EditAction
{
    enum Kind { Key, Commit, Insert, EngineCut, EngineCopy, EnginePaste, EngineUndo, EngineRedo, Select, OtherProgramCopies };
    Kind kind = Key;
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers;
    QString text;
    int start = 0;
    int length = 0;

    // Undo or redo, by key or command.
    bool movesHistory() const
    {
        return kind == EngineUndo || kind == EngineRedo
            || (kind == Key && modifiers == Qt::ControlModifier
                && (key == Qt::Key_Z || key == Qt::Key_R || key == Qt::Key_Y))
            || (kind == Key && modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_Z);
    }

    QString describe() const
    {
        return QStringLiteral("action %1 key %2/%3 \"%4\" %5+%6").arg(kind).arg(key, 0, 16).arg(int(modifiers), 0, 16)
            .arg(text).arg(start).arg(length);
    }
};

inline EditAction randomEditAction(QRandomGenerator &random, int textLength)
{
    static const QString typed = QStringLiteral("ab z;\"+_{}\\\u00e9\u20ac\u4e2d");
    static const QStringList pieces = {QStringLiteral("x"), QStringLiteral("\r\n"), QStringLiteral("a\nb"),
                                       QStringLiteral("c\rd"), QString(), QStringLiteral("{\\rtf1 x}"),
                                       QStringLiteral("\U0001F600")};
    static const struct { Qt::Key key; Qt::KeyboardModifiers modifiers; const char *text; } chords[] = {
        {Qt::Key_Return, Qt::NoModifier, "\r"},       {Qt::Key_Return, Qt::ShiftModifier, "\r"},
        {Qt::Key_Tab, Qt::NoModifier, "\t"},          {Qt::Key_Backspace, Qt::NoModifier, "\b"},
        {Qt::Key_Delete, Qt::NoModifier, ""},         {Qt::Key_Delete, Qt::ShiftModifier, ""},
        {Qt::Key_Left, Qt::NoModifier, ""},           {Qt::Key_Right, Qt::NoModifier, ""},
        {Qt::Key_X, Qt::ControlModifier, ""},         {Qt::Key_C, Qt::ControlModifier, ""},
        {Qt::Key_V, Qt::ControlModifier, ""},         {Qt::Key_Insert, Qt::ShiftModifier, ""},
        {Qt::Key_Insert, Qt::ControlModifier | Qt::ShiftModifier, ""},
        {Qt::Key_Z, Qt::ControlModifier, ""},         {Qt::Key_R, Qt::ControlModifier, ""},
        {Qt::Key_A, Qt::ControlModifier, ""},         {Qt::Key_Y, Qt::ControlModifier, ""},
        {Qt::Key_A, Qt::AltModifier, "a"},            {Qt::Key_At, Qt::ControlModifier | Qt::AltModifier, "@"},
        {Qt::Key_7, Qt::KeypadModifier, "7"},         {Qt::Key_Escape, Qt::NoModifier, "\x1b"},
        {Qt::Key_Insert, Qt::NoModifier, ""},         {Qt::Key_Backspace, Qt::ControlModifier, ""},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, ""},
    };
    EditAction action;
    const int dice = int(random.bounded(20));
    if (dice < 7) {
        const QChar c = typed[random.bounded(typed.size())];
        action.key = c.isLetter() && c.unicode() < 128 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        if (c == u' ')
            action.key = Qt::Key_Space;
        action.modifiers = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        action.text = c;
    } else if (dice < 13) {
        const auto &chord = chords[random.bounded(int(std::size(chords)))];
        action.key = chord.key;
        action.modifiers = chord.modifiers;
        action.text = QString::fromLatin1(chord.text);
    } else if (dice == 13) {
        action.kind = EditAction::Commit;
        action.text = pieces[random.bounded(pieces.size())] + QStringLiteral("\u00fc");
    } else if (dice == 14) {
        action.kind = EditAction::Insert;
        action.text = pieces[random.bounded(pieces.size())];
    } else if (dice == 15) {
        action.kind = EditAction::Kind(EditAction::EngineCut + random.bounded(3));
    } else if (dice == 16 && random.bounded(3) == 0) {
        action.kind = EditAction::OtherProgramCopies;
        action.text = pieces[random.bounded(pieces.size())];
    } else if (dice == 16) {
        action.kind = random.bounded(2) ? EditAction::EngineUndo : EditAction::EngineRedo;
    } else {
        action.kind = EditAction::Select;
        action.start = int(random.bounded(textLength + 2)) - 1;
        action.length = int(random.bounded(5));
    }
    return action;
}

// The engine's commands and selections are the same on every box.
// Returns false when the action is a key or commit, which the driver sends.
inline bool applyCommonAction(const EditAction &action, clsUndo &engine, EditBox &box)
{
    switch (action.kind) {
    case EditAction::Insert: engine.InsertText(action.text); return true;
    case EditAction::EngineCut: engine.Cut(); return true;
    case EditAction::EngineCopy: engine.Copy(); return true;
    case EditAction::EnginePaste: engine.Paste(); return true;
    case EditAction::EngineUndo: engine.undo(); return true;
    case EditAction::EngineRedo: engine.Redo(); return true;
    case EditAction::Select:
        box.setSelStart(action.start);
        box.setSelLength(action.length);
        return true;
    case EditAction::OtherProgramCopies:
        box.clipboard().Clear();
        box.clipboard().SetText(action.text);
        return true;
    case EditAction::Key:
    case EditAction::Commit: break;
    }
    return false;
}

// The text at every depth of the history. After each action the box must
// hold the text of the depth the engine stands at: a change that bypassed
// the history, or one undone or redone inexactly, shows up at once.
class HistoryCheck
{
public:
    explicit HistoryCheck(const QString &start) : m_states{start} {}

    // Empty when the step kept the history and the text in agreement.
    QString afterStep(const clsUndo &engine, const QString &text, bool movesHistory)
    {
        const int depth = engine.UndoCount();
        const int total = depth + engine.RedoCount();
        if (movesHistory || (total + 1 == int(m_states.size()) && depth == m_depth)) {
            if (total + 1 != int(m_states.size()) || qAbs(depth - m_depth) > 1)
                return QStringLiteral("undo or redo moved the history from %1 to %2").arg(m_depth).arg(depth);
            m_depth = depth;
        } else {
            if (engine.RedoCount() != 0 || depth != m_depth + 1)
                return QStringLiteral("one step recorded %1 elements").arg(depth - m_depth);
            m_states.resize(depth);
            m_states.push_back(text);
            m_depth = depth;
            return {};
        }
        if (text != m_states[m_depth])
            return QStringLiteral("text at depth %1 is \"%2\", expected \"%3\"").arg(m_depth).arg(text, m_states[m_depth]);
        return {};
    }

private:
    std::vector<QString> m_states;
    int m_depth = 0;
};

// Random sessions on a box bound to an engine, every other one in rich
// mode: apply sends an action to every box under test, agree compares them
// (empty when they agree). After
// each session everything is undone, then redone, step by step. Returns
// the first problem with the seed and the step that shows it.
inline QString runRandomSessions(quint32 seed, int sessions, clsUndo &engine, EditBox &box,
                                 const std::function<void(const QString &)> &restart,
                                 const std::function<void(const EditAction &)> &apply,
                                 const std::function<QString()> &agree = [] { return QString(); })
{
    QRandomGenerator random(seed);
    const QString first = QStringLiteral("bind \"w\" \"+forward\"\r\nfps_max 120\r\n\r\nx");
    for (int session = 0; session < sessions; ++session) {
        engine.setRichEditing(session % 2 == 1);
        restart(first);
        HistoryCheck history(first);
        auto where = [&](const QString &what) { return QStringLiteral("seed %1 session %2 %3").arg(seed).arg(session).arg(what); };
        for (int step = 0; step < 40; ++step) {
            const EditAction action = randomEditAction(random, box.TextLength());
            apply(action);
            QString problem = agree();
            if (problem.isEmpty())
                problem = history.afterStep(engine, box.Text(), action.movesHistory());
            if (!problem.isEmpty())
                return where(QStringLiteral("step %1 after %2: %3").arg(step).arg(action.describe(), problem));
        }
        for (bool back : {true, false}) {
            while (back ? engine.canUndo() : engine.canRedo()) {
                back ? engine.undo() : engine.Redo();
                if (const QString problem = history.afterStep(engine, box.Text(), true); !problem.isEmpty())
                    return where(QStringLiteral("undoing and redoing all: ") + problem);
            }
        }
    }
    return {};
}
