#include "console/KeyTraceText.h"

namespace {

void addSteps(QStringList &out, const QList<ConsoleStep> &steps)
{
    int frame = -1;
    for (const ConsoleStep &s : steps) {
        if (s.frame != frame) {
            frame = s.frame;
            out.append(QStringLiteral("  Frame %1:").arg(frame));
        }
        QString line = QString(4 + 2 * s.depth, u' ') + s.command;
        if (s.kind == ConsoleStep::Kind::Alias)
            line += QStringLiteral("  (alias, runs what follows)");
        if (!s.change.isEmpty())
            line += QStringLiteral("  — ") + s.change;
        out.append(line);
    }
}

QString firstFrame(const QList<ConsoleStep> &steps)
{
    QStringList commands;
    for (const ConsoleStep &s : steps) {
        if (s.frame != (steps.isEmpty() ? 0 : steps.front().frame))
            break;
        if (s.kind != ConsoleStep::Kind::Alias)
            commands.append(s.command);
    }
    return commands.join(QStringLiteral(", "));
}

} // namespace

QStringList KeyTraceText::frames(const ConsoleStartup::KeyRun &run)
{
    QStringList out;
    if (run.runs.isEmpty()) {
        out.append(QStringLiteral("%1 is free: pressing it runs nothing.").arg(run.key));
        return out;
    }
    out.append(QStringLiteral("%1 runs \"%2\".").arg(run.key, run.runs));
    out.append(QStringLiteral("Pressed:"));
    addSteps(out, run.press);
    out.append(QStringLiteral("Let go:"));
    if (run.release.isEmpty())
        out.append(QStringLiteral("  nothing: only a bind that starts with + runs its - form when let go."));
    addSteps(out, run.release);
    return out;
}

QStringList KeyTraceText::warnings(const ConsoleStartup::KeyRun &run)
{
    QStringList out;
    for (const ConsoleEvent &e : run.events) {
        if (e.kind == ConsoleEvent::Kind::Freeze && !e.loop)
            out.append(QStringLiteral("Pressing %1 holds the game up: %2 call the same aliases and files thousands of "
                                      "times with no wait.")
                           .arg(run.key, e.chain.join(QStringLiteral(" → "))));
        else if (e.kind == ConsoleEvent::Kind::Freeze)
            out.append(QStringLiteral("Pressing %1 freezes the game: %2 runs round for ever with no wait (%3).")
                           .arg(run.key, e.execChain ? QStringLiteral("exec") : QStringLiteral("the alias ") + e.name,
                                e.chain.join(QStringLiteral(" → "))));
        else if (e.kind == ConsoleEvent::Kind::Overflow)
            out.append(QStringLiteral("Pressing %1 overflows the command buffer: %2 does not fit and the game drops it.")
                           .arg(run.key, e.name));
    }
    for (const QString &held : run.heldAfter)
        out.append(QStringLiteral("%1 stays held after %2 is let go: the game runs the - form only of a bind that "
                                  "starts with +, and only for its first command.")
                       .arg(held, run.key));
    if (run.endless)
        out.append(QStringLiteral("%1 keeps running after it is let go: a loop with waits goes on until something "
                                  "stops it.")
                       .arg(run.key));
    else if (run.pressFrames > 1)
        out.append(QStringLiteral("%1 runs over %2 frames: what other keys run meanwhile waits behind it.")
                       .arg(run.key)
                       .arg(run.pressFrames));
    return out;
}

QString KeyTraceText::summary(const ConsoleStartup::KeyRun &run)
{
    if (run.runs.isEmpty())
        return {};
    QString text = QStringLiteral("Pressed: %1").arg(firstFrame(run.press));
    if (run.pressFrames > 1)
        text += QStringLiteral(" (then %1 more frames)").arg(run.pressFrames - 1);
    if (!run.release.isEmpty())
        text += QStringLiteral(". Let go: %1").arg(firstFrame(run.release));
    const QStringList warned = warnings(run);
    if (!warned.isEmpty())
        text += QStringLiteral(". ") + warned.front();
    return text;
}
