#include "frame/ini_serveurs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "engine/pg_storage.h"

namespace orv {

QString IniServeurs::userPath() {
    const QString env = qEnvironmentVariable("ORVANELLE_INI");
    if (!env.isEmpty()) return env;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/orvanelle/Orvanelle.ini");
}

QString IniServeurs::defaultPath() {
    const QString user = userPath();
    if (qEnvironmentVariableIsSet("ORVANELLE_INI") || QFileInfo::exists(user)) return user;
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
    parse(decode(file.readAll()));
}

QString IniServeurs::decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    // Windows-1252: Latin-1 except for the range 0x80-0x9F (its five unused codes kept as the
    // control characters Latin-1 gives them). Done by hand: Qt knows this encoding only when
    // built with ICU.
    static const char16_t k80To9F[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString latin;
    latin.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        latin += byte >= 0x80 && byte <= 0x9F ? QChar(k80To9F[byte - 0x80]) : QChar(byte);
    }
    return latin;
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

QString IniServeurs::accountPath(int index) const {
    const QString path = paths_.value(index);
    if (path.isEmpty() || isPgAccountPath(path.toStdString()) || QFileInfo(path).isAbsolute() ||
        path_.isEmpty())
        return path;
    return QFileInfo(path_).absoluteDir().absoluteFilePath(path);
}

QStringList IniServeurs::accountPaths() const {
    QStringList list;
    for (int i = 0; i < int(paths_.size()); ++i) list << accountPath(i);
    return list;
}

int IniServeurs::find(const QString& typed) const {
    const QString wanted = typed.trimmed().toUpper();
    for (qsizetype i = 0; i < labels_.size(); ++i)
        if (labels_[i].trimmed().toUpper() == wanted) return int(i);
    return -1;
}

}  // namespace orv
