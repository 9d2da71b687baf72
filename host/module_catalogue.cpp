#include "host/module_catalogue.h"

#include "frame/control_factory.h"

namespace orv::host {

const QList<ModuleEntry>& moduleCatalogue() {
    static const QList<ModuleEntry> entries{
        {QStringLiteral("NumeroPieces.Ctr_NumeroPieces"),
         QStringLiteral("Numéros des pièces et montants minimums de facturation de chaque entité "
                        "juridique."),
         QStringLiteral("COMPTEURFACT")},
        {QStringLiteral("ArchivesEnvoi.Ctr_RepDemat"),
         QStringLiteral("Sélection des factures archivées d'une période, remises à l'émission "
                        "électronique."),
         QStringLiteral("ARCHIVESENVOI")},
        {QStringLiteral("TraceAbsences.Ctr_Impression"),
         QStringLiteral("Liste imprimée des aidants absents sur une période, ou des congés "
                        "prévisionnels, avec leur graphique."),
         QStringLiteral("ABSENCESAIDANT"), ModuleForm::Absences},
        {QStringLiteral("HoraireAidants.Ctr_EditEmplTps"),
         QStringLiteral("Emploi du temps imprimé d'un aidant, d'un aidé ou de plusieurs personnes, "
                        "sur deux mois au plus."),
         QStringLiteral("HORAIREAIDANTS"), ModuleForm::Timetable},
        {QStringLiteral("DeclarTrim.Ctr_ReleveDnt"),
         QStringLiteral("Relevé des déclarations nominatives trimestrielles d'une entité pour un "
                        "centre URSSAF."),
         QStringLiteral("RELEVEDNT")},
        {QStringLiteral("SoldeConges.Ctr_SoldeConges"),
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

QString moduleName(const QString& identifier) { return controlName(identifier); }

}  // namespace orv::host
