// Named attribute numbers of the shared files, beside the schema that creates them (see
// schema/README.md for the record layouts). Attribute 0 is always the key.
#pragma once

namespace orv::attr {

// ASSOCIATION: a legal entity, keyed by its three-digit code.
namespace association {
inline constexpr int Sigle = 1;
inline constexpr int Adresse1 = 3;  // 3 to 6: address lines
inline constexpr int Complement = 7;
inline constexpr int CodePostal = 8;
inline constexpr int Ville = 9;
inline constexpr int SuffixeCodeAidant = 39;
inline constexpr int Preimprimes = 50;  // preprinted documents: "1", else "0" or empty
}  // namespace association

// ACTIVITES: an activity of an entity, keyed by the entity code and three digits.
namespace activites {
inline constexpr int Libelle = 1;
inline constexpr int Entite = 2;
inline constexpr int Mode = 12;  // billing mode P, M, I or S
}  // namespace activites

// CENTREURSSAF: an URSSAF centre, keyed by its two-digit code; laid out as ASSOCIATION.
namespace centreurssaf {
inline constexpr int Nom = 1;
inline constexpr int Adresse1 = 3;
inline constexpr int Complement = 7;
inline constexpr int CodePostal = 8;
inline constexpr int Ville = 9;
inline constexpr int PrefixeAffiliation = 16;  // "000": none
}  // namespace centreurssaf

// COMPTEUR "999": the installation's parameters.
namespace compteur {
inline constexpr int Federation = 17;
inline constexpr int Telegestion = 33;
}  // namespace compteur

// CIVILAIDE: a person's civil state, keyed by the five-digit code.
namespace civilaide {
inline constexpr int Nom = 2;
inline constexpr int Prenom = 3;
}  // namespace civilaide

// ELTSPARTEMP: a person's payroll elements, keyed by the five-digit code.
namespace eltspartemp {
inline constexpr int Affiliation = 2;
}  // namespace eltspartemp

// DETAILCHGPARTEMP: a quarterly declaration (code*entity*centre*year+quarter); whole euros.
namespace detailchgpartemp {
inline constexpr int Entite = 1;
inline constexpr int Centre = 2;
inline constexpr int CodeAide = 3;
inline constexpr int Trimestre = 4;
inline constexpr int Regularisation = 5;
inline constexpr int PremiereCotisation = 6;  // 6 to 13: the contribution columns
inline constexpr int DerniereCotisation = 13;
inline constexpr int Salaires = 14;
inline constexpr int AjoutPremiereCotisation = 17;  // added into attribute 6 when printed
}  // namespace detailchgpartemp

// ABSENCESAIDANT: an absence, keyed by helper code (5) + motive (2) + start day (5).
namespace absencesaidant {
inline constexpr int JourSaisie = 1;
inline constexpr int JourFin = 2;
inline constexpr int LibelleMotif = 3;
inline constexpr int EtatDemande = 4;
inline constexpr int ContratCompte = 10;  // set in memory before the days are counted
// One value per contract share of the absence: "O" when it applies, its start, end, contract.
inline constexpr int PartApplique = 21;
inline constexpr int PartDebut = 22;
inline constexpr int PartFin = 24;
inline constexpr int PartContrat = 26;
// The chart category of an absence motive: 1 work stoppages, 2 leave, 3 the others.
inline constexpr int categorieMotif(int motif) {
    if (motif <= 6 || motif == 29 || motif == 30 || motif == 33) return 1;
    if ((motif >= 12 && motif <= 23) || (motif >= 25 && motif <= 28)) return 2;
    return 3;
}
}  // namespace absencesaidant

// DEMANDESCONGES: a leave request, keyed as an absence (helper code + motive + start day).
namespace demandesconges {
inline constexpr int JourDemande = 1;
inline constexpr int JourFin = 2;
inline constexpr int LibelleMotif = 3;
inline constexpr int Etat = 4;           // Ref (refused), Acc (accepted), EnC (pending)
inline constexpr int JoursDemandes = 5;  // hundredths of a day
inline constexpr int Enfants = 6;        // dependent children declared with the request
}  // namespace demandesconges

// CONTRAT: a helper's employment contract (helper code*number); leave in hundredths of a day.
namespace contrat {
inline constexpr int Convention = 1;  // key of CONVENTIONCOL
inline constexpr int Aidant = 2;
inline constexpr int Debut = 7;
inline constexpr int Fin = 8;  // empty while the contract runs
inline constexpr int CPAcquis = 38;
inline constexpr int CPDecompte = 39;
inline constexpr int CPAcquisComplement = 40;
inline constexpr int CPDecompteComplement = 41;
inline constexpr int CPAcquisN1 = 44;  // acquired in the next reference period
inline constexpr int CPPrisN1 = 83;
inline constexpr int CAAcquis = 47;
inline constexpr int CADecompte = 48;
inline constexpr int PeriodeDecompte = 63;  // last tallied pay period, yyyymm
inline constexpr int DateAnciennete = 97;
inline constexpr int DLAcquis = 109;
inline constexpr int DLDecompte = 110;
inline constexpr int DecalageAnciennete = 144;  // hundredths of a day
inline constexpr int CPAcquisMois = 160;        // one value a month
inline constexpr int CPDecompteMois = 162;
}  // namespace contrat

// CONVENTIONCOL: a collective agreement.
namespace conventioncol {
inline constexpr int JoursOuvres = 2;         // "1": paid leave in working days
inline constexpr int AncienneteAuDebut = 13;  // 1: seniority leave at the period start
inline constexpr int AnneeCivile = 28;        // 1: calendar year, else 1 June to 31 May
}  // namespace conventioncol

// PERIODESPAIE "1": the current pay period.
namespace periodespaie {
inline constexpr int PeriodeCourante = 1;  // yyyymm
}  // namespace periodespaie
// CIVILAIDANT: a helper, keyed by the five-character helper code.
namespace civilaidant {
inline constexpr int Nom = 2;
inline constexpr int Prenom = 3;
inline constexpr int Commune = 11;
inline constexpr int Secteur = 31;
inline constexpr int Reference = 45;  // the number of the forecast report's "Ref" column
}  // namespace civilaidant

// SECTEUR: a sector, keyed by its code.
namespace secteur {
inline constexpr int Nom = 1;
}  // namespace secteur

// TPSPARAM record "1": the chart colours (RGB values) of the absence categories.
namespace tpsparam {
inline constexpr int CouleurConges = 6;
inline constexpr int CouleurArrets = 7;
inline constexpr int CouleurAutres = 23;
}  // namespace tpsparam

// RESPONSABLE: a responsible, keyed by its three-character code.
namespace responsable {
inline constexpr int Nom = 1;
}  // namespace responsable

// ARCHIVEFACT: an archived invoice, keyed by entity + mode + payer + number.
namespace archivefact {
inline constexpr int Entite = 1;
inline constexpr int Periode = 2;
inline constexpr int Mode = 3;
inline constexpr int Activite = 4;
inline constexpr int Responsable = 5;
inline constexpr int Secteur = 6;
inline constexpr int CodeClient = 7;
inline constexpr int NomClient = 8;
inline constexpr int PrenomClient = 9;
inline constexpr int NumeroFacture = 10;
inline constexpr int NomAdresse = 11;      // billing name
inline constexpr int CommuneAdresse = 14;  // billing town
inline constexpr int Commune = 15;         // the client's town
inline constexpr int Montant = 17;
}  // namespace archivefact

}  // namespace orv::attr
