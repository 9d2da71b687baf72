#include "frame/ini_serveurs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace orv {

QString IniServeurs::defaultPath() {
    const QString env = qEnvironmentVariable("ORVANELLE_INI");
    if (!env.isEmpty()) return env;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    const QString user = config + QStringLiteral("/orvanelle/Orvanelle.ini");
    if (QFileInfo::exists(user)) return user;
    return QStringLiteral("/etc/orvanelle/Orvanelle.ini");
}

void IniServeurs::read(const QString& path) {
    path_ = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        parse(QString());
        failed_ = true;
        return;
    }
    parse(QString::fromUtf8(file.readAll()));
}

void IniServeurs::parse(const QString& text) {
    server_.clear();
    labels_.clear();
    paths_.clear();
    failed_ = false;
    // Lines end with LF or CR LF; the terminator is not part of the line.
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty()) continue;
        if (line.left(7).toUpper() == QLatin1String("SERVEUR")) {
            server_ = line.mid(8);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            // A malformed line is remembered; the rest of the file is still read.
            failed_ = true;
            continue;
        }
        labels_ << line.left(equals);
        paths_ << line.mid(equals + 1);
    }
}

IniServeurs::Problem IniServeurs::problem() const {
    if (failed_ || server_.trimmed().isEmpty()) return Problem::Server;
    if (paths_.isEmpty()) return Problem::NoDatabase;
    return Problem::None;
}

QString IniServeurs::problemMessage() const {
    switch (problem()) {
        case Problem::Server:
            return kServerProblem;
        case Problem::NoDatabase:
            return kNoDatabase;
        default:
            return {};
    }
}

int IniServeurs::find(const QString& typed) const {
    const QString wanted = typed.trimmed().toUpper();
    for (qsizetype i = 0; i < labels_.size(); ++i)
        if (labels_[i].trimmed().toUpper() == wanted) return int(i);
    return -1;
}

}  // namespace orv
