#include "tools/record_io.h"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "engine/database.h"
#include "engine/query_parse.h"
#include "tools/commands.h"
#include "tools/jsonl.h"

namespace orv::tools {

namespace {

// One requested attribute of a result line: its own values arrive as subvalues.
std::string fieldText(std::string_view value) {
    std::string text(value);
    for (char& c : text)
        if (c == kSubvalueMark) c = '|';
    return text;
}

}  // namespace

std::string statementFile(const std::string& statement) {
    std::istringstream words(statement);
    std::string verb, file;
    words >> verb >> file;
    if (file.empty()) throw UsageError("instruction de sélection incomplète : " + statement);
    return file;
}

bool isEngineFile(const std::string& file) { return file.rfind("ORV.", 0) == 0; }

void requireVisibleFile(const std::string& file, bool engineFiles) {
    if (isEngineFile(file) && !engineFiles)
        throw CommandFailure("le fichier " + file +
                             " est un fichier interne de la base (mots de passe hachés) : "
                             "ajoutez --engine-files pour y accéder");
}

long printQuery(Database& db, const std::string& statement, const std::string& fields,
                std::ostream& out, bool engineFiles) {
    requireVisibleFile(query::parseStatement(statement).file.name, engineFiles);
    DynArray request;
    request.replace(1, statement);
    request.replace(2, statementFile(statement));
    request.replace(3, fields.empty() ? std::string("0") : fields);
    const DynArray result = db.query(request);
    // One pass over the result: a line per attribute, its values separated by tabs (reading
    // each value by its number would walk the result from its start every time).
    const std::string& text = result.text();
    if (text.empty()) return 0;
    long lines = 0;
    for (size_t start = 0;; ++lines) {
        const size_t end = std::min(text.find(kAttributeMark, start), text.size());
        std::string line = fieldText(std::string_view(text).substr(start, end - start));
        for (char& c : line)
            if (c == kValueMark) c = '\t';
        out << line << '\n';
        if (end == text.size()) return lines + 1;
        start = end + 1;
    }
}

void printRecord(Database& db, const std::string& file, const std::string& key, std::ostream& out,
                 bool engineFiles) {
    requireVisibleFile(file, engineFiles);
    db.requireFile(file);
    const auto record = db.read(file, key);
    if (!record) throw CommandFailure("l'enregistrement « " + key + " » n'existe pas dans " + file);
    out << attrsJson(*record) << '\n';
}

}  // namespace orv::tools
