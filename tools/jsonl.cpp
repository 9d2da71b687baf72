#include "tools/jsonl.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <istream>
#include <optional>
#include <ostream>

#include "engine/database.h"
#include "tools/commands.h"
#include "tools/record_io.h"

namespace orv::tools {

namespace {

std::string utf8(const QString& s) { return s.toUtf8().toStdString(); }

// Joins the strings of a JSON array with a mark; `inner` converts each element.
template <typename Inner>
std::string joinArray(const QJsonArray& array, char mark, Inner inner) {
    std::string text;
    for (qsizetype i = 0; i < array.size(); ++i) {
        if (i) text += mark;
        text += inner(array.at(i));
    }
    return text;
}

constexpr const char* kBytesField = "bytes";

// The bytes of a {"bytes":"hex"} object; nullopt when the value is not one.
std::optional<std::string> escapedBytes(const QJsonValue& v) {
    if (!v.isObject()) return std::nullopt;
    const QJsonObject object = v.toObject();
    const QJsonValue hex = object.value(QLatin1String(kBytesField));
    if (object.size() != 1 || !hex.isString()) return std::nullopt;
    const QByteArray digits = hex.toString().toLatin1();
    const QByteArray bytes = QByteArray::fromHex(digits);
    if (digits.size() != bytes.size() * 2 || bytes.toHex() != digits.toLower())
        throw ExchangeError("« bytes » doit contenir des chiffres hexadécimaux, deux par octet");
    return bytes.toStdString();
}

// A string, or the escaped bytes of a text that is not UTF-8; nullopt for anything else.
std::optional<std::string> textOf(const QJsonValue& v) {
    if (v.isString()) return utf8(v.toString());
    return escapedBytes(v);
}

std::string subvalueText(const QJsonValue& v) {
    if (auto text = textOf(v)) return *text;
    throw ExchangeError("un sous-valeur doit être une chaîne de caractères");
}

std::string valueText(const QJsonValue& v) {
    if (auto text = textOf(v)) return *text;
    if (v.isArray()) return joinArray(v.toArray(), kSubvalueMark, subvalueText);
    throw ExchangeError("une valeur doit être une chaîne ou un tableau de sous-valeurs");
}

std::string attributeText(const QJsonValue& v) {
    if (auto text = textOf(v)) return *text;
    if (v.isArray()) return joinArray(v.toArray(), kValueMark, valueText);
    throw ExchangeError("un attribut doit être une chaîne ou un tableau de valeurs");
}

std::string requiredString(const QJsonObject& object, const char* name) {
    const std::optional<std::string> text = textOf(object.value(QLatin1String(name)));
    if (!text || text->empty())
        throw ExchangeError(std::string("le champ « ") + name + " » doit être une chaîne non vide");
    return *text;
}

QJsonDocument parseJson(std::string_view text) {
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(text.data(), static_cast<qsizetype>(text.size())), &error);
    if (error.error != QJsonParseError::NoError)
        throw ExchangeError("JSON invalide (" + utf8(error.errorString()) + ", caractère " +
                            std::to_string(error.offset + 1) + ")");
    return doc;
}

// Splits a text on a mark, keeping empty pieces ("a\xFE" gives "a" and "").
std::vector<std::string_view> split(std::string_view text, char mark) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(mark, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

// One element in its compact form: a string when it holds no mark below `mark`, else an array of
// its parts, each written by `inner`.
template <typename Inner>
std::string compactJson(std::string_view text, char mark, Inner inner) {
    if (text.find(mark) == std::string_view::npos &&
        text.find(kSubvalueMark) == std::string_view::npos)
        return jsonText(text);
    std::string out = "[";
    bool first = true;
    for (std::string_view part : split(text, mark)) {
        if (!first) out += ',';
        first = false;
        out += inner(part);
    }
    return out + "]";
}

std::string subvalueJson(std::string_view text) { return jsonText(text); }

std::string valueJson(std::string_view text) {
    return compactJson(text, kSubvalueMark, subvalueJson);
}

std::string attributeJson(std::string_view text) {
    return compactJson(text, kValueMark, valueJson);
}

void applyLine(Database& db, const ExchangeLine& line, LoadCounts& counts) {
    if (line.kind == ExchangeLine::Kind::Create) {
        db.createFile(line.file);
        ++counts.files;
        return;
    }
    if (!db.hasFile(line.file)) throw ExchangeError("fichier inconnu « " + line.file + " »");
    db.write(line.file, line.key, line.record);
    ++counts.records;
}

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

}  // namespace

DynArray recordFromAttrs(const QJsonArray& attrs) {
    return DynArray(joinArray(attrs, kAttributeMark, attributeText));
}

DynArray parseAttrsText(std::string_view text) {
    const QJsonDocument doc = parseJson(text);
    if (!doc.isArray()) throw ExchangeError("un tableau JSON d'attributs est attendu");
    return recordFromAttrs(doc.array());
}

ExchangeLine parseExchangeLine(std::string_view text) {
    const QJsonDocument doc = parseJson(text);
    if (!doc.isObject()) throw ExchangeError("un objet JSON est attendu");
    const QJsonObject object = doc.object();
    ExchangeLine line;
    if (object.contains(QLatin1String("create"))) {
        line.kind = ExchangeLine::Kind::Create;
        line.file = requiredString(object, "create");
        return line;
    }
    line.file = requiredString(object, "file");
    line.key = requiredString(object, "key");
    const QJsonValue attrs = object.value(QLatin1String("attrs"));
    if (!attrs.isArray()) throw ExchangeError("le champ « attrs » doit être un tableau");
    line.record = recordFromAttrs(attrs.toArray());
    return line;
}

std::string jsonString(std::string_view text) {
    static const char* hex = "0123456789abcdef";
    std::string out = "\"";
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (u < 0x20) {
                    out += "\\u00";
                    out += hex[u >> 4];
                    out += hex[u & 15];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

bool isValidUtf8(std::string_view text) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return true;
    // Qt replaces every invalid sequence (stray, overlong, surrogate, beyond U+10FFFF): the text
    // is valid when it comes back unchanged.
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

std::string jsonText(std::string_view text) {
    if (isValidUtf8(text)) return jsonString(text);
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    return std::string("{\"") + kBytesField + "\":\"" + bytes.toHex().toStdString() + "\"}";
}

std::string attrsJson(const DynArray& record) {
    if (record.empty()) return "[]";
    std::string out = "[";
    bool first = true;
    for (std::string_view attribute : split(record.text(), kAttributeMark)) {
        if (!first) out += ',';
        first = false;
        out += attributeJson(attribute);
    }
    return out + "]";
}

std::string recordLine(const std::string& file, const std::string& key, const DynArray& record) {
    return "{\"file\":" + jsonText(file) + ",\"key\":" + jsonText(key) +
           ",\"attrs\":" + attrsJson(record) + "}";
}

std::string createLine(const std::string& file) { return "{\"create\":" + jsonText(file) + "}"; }

LoadCounts loadExchange(Database& db, std::istream& in, const std::string& source,
                        bool engineFiles) {
    LoadCounts counts;
    Storage& storage = db.storage();
    storage.begin();
    long lineNumber = 0;
    try {
        std::string text;
        while (std::getline(in, text)) {
            ++lineNumber;
            if (isBlank(text)) continue;
            const ExchangeLine line = parseExchangeLine(text);
            if (!engineFiles && isEngineFile(line.file))
                throw ExchangeError("le fichier " + line.file +
                                    " est un fichier interne de la base : ajoutez "
                                    "--engine-files pour le charger");
            applyLine(db, line, counts);
        }
        storage.commit();
    } catch (const ExchangeError& e) {
        storage.rollback();
        throw CommandFailure(source + ", ligne " + std::to_string(lineNumber) + " : " + e.what() +
                             " ; rien n'a été chargé");
    } catch (const DbError& e) {
        storage.rollback();
        throw DbError(e.code(), source + ", ligne " + std::to_string(lineNumber) + " : " +
                                    e.what() + " ; rien n'a été chargé");
    } catch (...) {
        storage.rollback();
        throw;
    }
    return counts;
}

void dumpFile(Database& db, const std::string& file, std::ostream& out) {
    db.requireFile(file);
    db.storage().scanPrefix(file, "", [&](std::string_view key, std::string_view record) {
        out << recordLine(file, std::string(key), DynArray(std::string(record))) << '\n';
        return true;
    });
}

}  // namespace orv::tools
