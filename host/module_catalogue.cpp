#include "host/module_catalogue.h"

#include "frame/control_factory.h"

namespace orv::host {

const QList<ModuleEntry>& moduleCatalogue() {
    static const QList<ModuleEntry> entries{
        {QStringLiteral("NumeroPieces.Ctr_NumeroPieces"),
         QStringLiteral("Compteurs de facturation"),
         QStringLiteral("Numéros des pièces et montants minimums de facturation de chaque entité "
                        "juridique."),
         QStringLiteral("COMPTEURFACT")},
        {QStringLiteral("ArchivesEnvoi.Ctr_RepDemat"),
         QStringLiteral("Envoi des factures électroniques"),
         QStringLiteral("Sélection des factures archivées d'une période, remises à l'émission "
                        "électronique."),
         QStringLiteral("ARCHIVESENVOI")},
        {QStringLiteral("TraceAbsences.Ctr_Impression"), QStringLiteral("Absences des aidants"),
         QStringLiteral("Liste imprimée des aidants absents sur une période, ou des congés "
                        "prévisionnels, avec leur graphique."),
         QStringLiteral("ABSENCESAIDANT"), ModuleForm::Absences},
        {QStringLiteral("HoraireAidants.Ctr_EditEmplTps"), QStringLiteral("Emplois du temps"),
         QStringLiteral("Emploi du temps imprimé d'un aidant, d'un aidé ou de plusieurs personnes, "
                        "sur deux mois au plus."),
         QStringLiteral("HORAIREAIDANTS"), ModuleForm::Timetable},
        {QStringLiteral("DeclarTrim.Ctr_ReleveDnt"),
         QStringLiteral("Relevé trimestriel des déclarations"),
         QStringLiteral("Relevé des déclarations nominatives trimestrielles d'une entité pour un "
                        "centre URSSAF."),
         QStringLiteral("RELEVEDNT")},
        {QStringLiteral("SoldeConges.Ctr_SoldeConges"), QStringLiteral("Solde de congés"),
         QStringLiteral("Congés acquis, décompte et congés pris d'un aidant sous un de ses "
                        "contrats."),
         QStringLiteral("DOSAIDANTABS"), ModuleForm::LeaveTally},
    };
    return entries;
}

const ModuleEntry* findModule(const QString& identifier) {
    for (const ModuleEntry& entry : moduleCatalogue())
        if (sameIdentifier(entry.identifier, identifier)) return &entry;
    return nullptr;
}

QString moduleName(const QString& identifier) {
    const ModuleEntry* entry = findModule(identifier);
    return entry ? entry->name : identifier;
}

}  // namespace orv::host
