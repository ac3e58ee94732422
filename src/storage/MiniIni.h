#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace qb {

// One "name=value" line of a section.
struct TIniLine {
    QString Name;
    QString Value;
    friend bool operator==(const TIniLine&, const TIniLine&) = default;
};

// The small in-memory INI store of the settings file and the button list file. Sections and
// keys keep the order in which they were first met and are compared case-insensitively; nothing
// is ever sorted. The store touches the disk only in Parse and Save. UI thread only.
class TMiniIni {
public:
    TMiniIni() = default;

    void Clear();

    // Clears, then loads the file if it exists. False when it does not exist; a file that
    // exists but cannot be read raises EFileError.
    bool Parse(const QString& fileName);
    // Clears, then loads file content given as bytes (UTF-8 after its byte-order mark,
    // otherwise Windows-1252).
    void ParseBytes(QByteArrayView bytes);
    // Clears, then loads decoded text.
    void ParseText(QStringView text);

    // Replaces the file with the whole store (UTF-8 with byte-order mark, CR LF line ends);
    // raises EFileError on failure. Always true otherwise.
    bool Save(const QString& fileName) const;
    // The exact bytes Save writes.
    QByteArray ToBytes() const;

    // The value, or the default when the section or key is absent or the value is empty.
    QString GetValue(const QString& section, const QString& key, const QString& defaultValue) const;
    // The value as a 32-bit integer ("$", "0x" or "x" before hexadecimal digits), or the
    // default when absent or not a valid integer.
    int GetValue(const QString& section, const QString& key, int defaultValue) const;
    // Non-zero numbers and "True" are true, 0 and "False" false (letter case does not matter);
    // anything else gives the default.
    bool GetValue(const QString& section, const QString& key, bool defaultValue) const;
    // A string literal would silently pick the bool overloads; call with QStringLiteral.
    QString GetValue(const QString&, const QString&, const char*) const = delete;

    // Finds or creates the section; replaces the line of that key in place or appends it. An
    // empty value is kept as "key=" (it still reads as the default).
    void SetValue(const QString& section, const QString& key, const QString& value);
    void SetValue(const QString& section, const QString& key, int value);
    void SetValue(const QString& section, const QString& key, bool value);
    void SetValue(const QString&, const QString&, const char*) = delete;

    // Section names in store order.
    QStringList Sections() const;
    // The lines of a section in order; empty when the section does not exist.
    QList<TIniLine> SectionLines(const QString& section) const;

private:
    struct TSection {
        QString Name;
        // Removed lines stay as holes (Removed set) until there are many of them, so that
        // removing keys while parsing a large file stays linear.
        struct TSlot {
            TIniLine Line;
            bool Removed = false;
        };
        std::vector<TSlot> Slots;
        QHash<QString, qsizetype> Index; // case-folded name -> slot
        qsizetype RemovedCount = 0;

        const QString* Find(const QString& key) const;
        void Set(const QString& key, const QString& value);
        void Remove(const QString& key);
        void Compact();
    };

    const TSection* FindSection(const QString& name) const;
    TSection& FindOrAddSection(const QString& name);

    std::vector<TSection> FSections;
    QHash<QString, qsizetype> FSectionIndex; // case-folded name -> position in FSections
};

// The platform's string-to-integer rules: optional leading blanks, an optional sign, then
// decimal digits, or hexadecimal digits after "$", "0x" or "x". Hexadecimal text may use all 32
// bits ("$FFFFFFFF" is -1); decimal text must lie in the 32-bit range. Nothing may follow.
std::optional<int> ParseInteger(QStringView text);

} // namespace qb
