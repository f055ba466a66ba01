#pragma once
// The settings (INI) file with the Windows profile rules: GBK text, section
// and key names case-insensitive, integers in signed decimal, "0x"/"0X" read as
// hexadecimal, a missing file or key (or a value that is no number) gives the
// default. Each write updates the file at once.

#include <QString>

namespace platform {

class ProfileFile {
  public:
    explicit ProfileFile(QString path);

    const QString& path() const { return path_; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    int readInteger(const QString& section, const QString& key, int def) const;

    // Return false when the file cannot be written or the value has a
    // character GBK cannot hold; nothing is written then.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInteger(const QString& section, const QString& key, int value);

    // The settings file of a program: its path with the extension replaced by
    // ".ini" (appended when it has none).
    static QString pathForProgram(const QString& programPath);

  private:
    QString path_;
};

}  // namespace platform
