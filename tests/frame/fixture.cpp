#include "fixture.h"

#include "client/marks.h"

namespace orv::test {

namespace {

orv::DynArray attributes(const std::vector<std::pair<int, QString>>& values) {
    orv::DynArray rec;
    for (const auto& [a, v] : values) rec.replace(a, orv::fromQString(v));
    return rec;
}

}  // namespace

Fixture::Fixture() {
    // Created, then opened through the client's own cache, so that the fixture and the client
    // share one engine instance.
    orv::Database::openEmbedded(path().toStdString()).reset();
    engine = dba::openEngineDatabase(path());
    for (const char* file : {"ASSOCIATION", "ACTIVITES"}) engine->createFile(file);
    // LibAssoActivites sorts the activities by their key.
    engine->write("DICT ACTIVITES", "LibAssoActivites",
                  attributes({{1, "D"}, {2, "0"}, {4, "Activité"}, {5, "10L"}, {6, "S"}}));
    engine->setUserPassword("DUPONT", "secret");
    client = std::make_unique<dba::Client>();
    client->setLocator([p = path()](const QString&) { return p; });
    client->ClientConnect(QStringLiteral("dupont"), QStringLiteral("secret"), QString());
    database = client->OpenDatabase(QStringLiteral("ORVANELLE"), QStringLiteral("ESSAI"));
}

void Fixture::entity(const QString& code, const QString& acronym) {
    engine->write("ASSOCIATION", code.toStdString(), attributes({{1, acronym}}));
}

void Fixture::activity(const QString& key, const QString& mode) {
    engine->write("ACTIVITES", key.toStdString(), attributes({{12, mode}}));
}

}  // namespace orv::test
