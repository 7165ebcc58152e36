#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>

struct EngineProfile;

// One command as the engine takes it off its buffer and splits it into words.
struct ConsoleCommand
{
    QStringList words;
    QString name;         // the first word in lower case
    int line = 0;         // in the text, from 0
    int column = 0;       // where it starts on that line
    int length = 0;       // characters of it the engine copied to run
    int written = 0;      // characters up to its ';' or line end, when the engine cut it shorter
    int consumed = 0;     // characters the buffer gives up for it (and for empty commands before it)
    int wordsWritten = 0; // words the text holds, when the engine read fewer
    bool longWord = false; // a word too long for the engine ended its words
    bool operator==(const ConsoleCommand &) const = default;
};

// A text as the console runs it once it is in the command buffer: the
// commands in order with their words, and what it takes of the buffer.
// Whatever is inserted into the buffer (a file, an alias body, a key's
// command) ends at a line break, so its commands do not depend on what
// stands around it and can be read once.
struct ConsoleText
{
    QList<ConsoleCommand> commands;
    qsizetype size = 0; // characters it takes in the buffer

    // The lines of a file the engine inserts one by one when the whole
    // file does not fit the buffer: commands [first, end) and the size.
    struct Line
    {
        int first = 0;
        int end = 0;
        qsizetype size = 0;
    };
    QList<Line> lines;

    // Text as inserted: an alias body, a key's command.
    static std::shared_ptr<const ConsoleText> text(QStringView text, const EngineProfile &profile);
    // A file that fits the buffer: rehlds engine/cmd.cpp Cbuf_InsertTextLines
    // puts a line break before and after it.
    static std::shared_ptr<const ConsoleText> file(QStringView text, const EngineProfile &profile);
    // A file that does not fit, line by line as Cmd_Exec_f inserts it.
    static std::shared_ptr<const ConsoleText> fileLines(QStringView text, const EngineProfile &profile);

    // The words of one command line (Cmd_TokenizeString and COM_Parse).
    static QStringList words(QStringView line, const EngineProfile &profile, int *written = nullptr,
                             bool *longWord = nullptr);
};
