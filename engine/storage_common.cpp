#include "engine/storage_common.h"

#include <unistd.h>

#include "engine/errors.h"

namespace orv {

std::string foldCase(std::string_view name) {
    std::string folded(name);
    for (size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (c >= 'a' && c <= 'z') {
            folded[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < folded.size()) {
            const auto next = static_cast<unsigned char>(folded[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7)
                folded[i + 1] = static_cast<char>(next - 0x20);
            ++i;
        }
    }
    return folded;
}

std::string printable(std::string_view name) {
    std::string shown(name);
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return shown;
}

std::string invalidFileNameMessage(std::string_view name) {
    return "Nom de fichier « " + printable(name) +
           " » refusé : il est vide ou contient un caractère de contrôle";
}

std::string fileExistsMessage(const std::string& existing, const std::string& asked) {
    return existing == asked ? "Le fichier " + asked + " existe déjà"
                             : "Le fichier " + existing +
                                   " existe déjà : les noms de fichier ne distinguent pas les "
                                   "majuscules";
}

std::string prefixUpperBound(std::string prefix) {
    while (!prefix.empty()) {
        const auto c = static_cast<unsigned char>(prefix.back());
        if (c < 0xFF) {
            prefix.back() = static_cast<char>(c + 1);
            return prefix;
        }
        prefix.pop_back();
    }
    return {};
}

std::string hostName() {
    char buf[256] = {};
    gethostname(buf, sizeof buf - 1);
    return buf;
}

void throwMissingIndex(const std::string& file, const std::string& field) {
    throw DbError(DbErrorCode::FileNotFound, "Le fichier " + file + " n'a pas d'index " + field);
}

}  // namespace orv
