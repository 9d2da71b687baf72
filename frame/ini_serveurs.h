// The INI file of database servers, shared by MenuCadrius and orvanelle-module.
//
// Read line by line, each line whole without its terminator:
//   - a line that is blank once trimmed is skipped;
//   - a server line is one whose first seven characters, upper-cased, are "SERVEUR": the server
//     name is the line without its first eight characters (not trimmed); the last one wins;
//   - any other line is a database line "label=account path", split at the first "=".
// The file is UTF-8 when its bytes are valid UTF-8, otherwise Windows-1252 (the files carried
// over from the old workstations).
// A file that cannot be read, a database line without "=", or no server name (empty once
// trimmed) is a server problem; a file without database lines is a missing database.
#pragma once

#include <QString>
#include <QStringList>

namespace orv {

class IniServeurs {
  public:
    enum class Problem { None, Server, NoDatabase };

    static inline const QString kServerProblem =
        QStringLiteral("Problème dans le nom ou l'adresse IP d'un serveur");
    static inline const QString kNoDatabase = QStringLiteral("Base de données manquante.");

    // The INI path: $ORVANELLE_INI, else $XDG_CONFIG_HOME/orvanelle/Orvanelle.ini (default
    // ~/.config), else /etc/orvanelle/Orvanelle.ini. The first that is set (for the variable)
    // or exists (for the files) is taken; the last one otherwise.
    static QString defaultPath();
    // Where a new INI file is written for this user: $ORVANELLE_INI when set, else
    // $XDG_CONFIG_HOME/orvanelle/Orvanelle.ini (default ~/.config).
    static QString userPath();

    // Reads the file; check problem() afterwards.
    void read(const QString& path);
    // Reads from text (the lines of a file).
    void parse(const QString& text);
    // The text of the file's bytes: UTF-8 when valid, otherwise Windows-1252.
    static QString decode(const QByteArray& bytes);

    Problem problem() const;
    // The message for problem(), empty when there is none.
    QString problemMessage() const;

    const QString& server() const { return server_; }
    const QStringList& labels() const { return labels_; }
    // The account paths as written in the file.
    const QStringList& paths() const { return paths_; }
    // The account path of line `index` as the session takes it: an embedded database's
    // relative path is taken from the INI file's folder (whatever folder the program was
    // started from); absolute paths and server databases as written.
    QString accountPath(int index) const;
    QStringList accountPaths() const;
    const QString& path() const { return path_; }

    // Index of the label matching `typed` (compared trimmed and upper-cased), or -1.
    int find(const QString& typed) const;

  private:
    QString path_;
    QString server_;
    QStringList labels_;
    QStringList paths_;
    bool failed_ = false;
};

}  // namespace orv
