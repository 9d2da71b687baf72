#include "tools/demo_names.h"

namespace orv::tools::demo {

const std::vector<const char*> kLastNames = {
    "MARTIN",    "BERNARD",  "THOMAS",    "PETIT",      "ROBERT",   "RICHARD",   "DURAND",
    "DUBOIS",    "MOREAU",   "LAURENT",   "SIMON",      "MICHEL",   "LEFÈVRE",   "LEROY",
    "ROUX",      "DAVID",    "BERTRAND",  "MOREL",      "FOURNIER", "GIRARD",    "BONNET",
    "DUPONT",    "LAMBERT",  "FONTAINE",  "ROUSSEAU",   "VINCENT",  "MÜLLER",    "LEFEBVRE",
    "FAURE",     "ANDRÉ",    "MERCIER",   "BLANC",      "GUÉRIN",   "BOYER",     "GARNIER",
    "CHEVALIER", "FRANÇOIS", "LEGRAND",   "GAUTHIER",   "GARCIA",   "PERRIN",    "ROBIN",
    "CLÉMENT",   "MORIN",    "NICOLAS",   "HENRY",      "ROUSSEL",  "MATHIEU",   "GAUTIER",
    "MASSON",    "MARCHAND", "DUVAL",     "DENIS",      "DUMONT",   "MARIE",     "LEMAIRE",
    "NOËL",      "MEYER",    "DUFOUR",    "MEUNIER",    "BRUN",     "BLANCHARD", "GIRAUD",
    "JOLY",      "RIVIÈRE",  "LUCAS",     "BRUNET",     "GAILLARD", "BARBIER",   "ARNAUD",
    "BÉNARD",    "PERRET",   "DESCHAMPS", "CARPENTIER", "VIDAL",    "CÔTÉ",      "LÉGER"};

const std::vector<const char*> kFemaleFirstNames = {
    "Marie",   "Nathalie",  "Isabelle", "Sylvie",    "Catherine", "Françoise", "Hélène",
    "Martine", "Christine", "Monique",  "Valérie",   "Sandrine",  "Céline",    "Chloé",
    "Anaïs",   "Léa",       "Émilie",   "Geneviève", "Josiane",   "Bénédicte", "Noémie",
    "Agnès",   "Thérèse",   "Solène",   "Maëlle",    "Odile",     "Danièle",   "Aurélie"};

const std::vector<const char*> kMaleFirstNames = {
    "Jean",    "Pierre",  "Michel", "André",  "Philippe", "René",     "Louis",  "Alain",
    "Jacques", "Bernard", "Jérôme", "Noël",   "François", "Hervé",    "Gérard", "Joël",
    "Benoît",  "Raphaël", "Mathéo", "Cédric", "Frédéric", "Stéphane", "Loïc",   "Grégoire"};

const std::vector<const char*> kStreets = {
    "rue Victor Hugo",        "avenue Jean Jaurès",       "rue de la République",
    "place de l'Église",      "chemin des Écoliers",      "boulevard des Brotteaux",
    "rue Garibaldi",          "cours Émile Zola",         "rue du Président Édouard Herriot",
    "allée des Châtaigniers", "impasse des Mûriers",      "rue Pasteur",
    "avenue Félix Faure",     "montée de la Grande Côte", "quai Saint-Vincent",
    "rue des Pêcheurs",       "route de Genève",          "rue Paul Bert",
    "avenue de Saxe",         "rue Anatole France"};

const std::vector<const char*> kResidences = {"Résidence Les Tilleuls", "Les Jardins d'Évian",
                                              "Résidence du Parc", "Le Clos Fleuri",
                                              "Les Terrasses de la Saône"};

const std::vector<const char*> kComplements = {"Bâtiment B", "Escalier 2",   "Appartement 12",
                                               "3e étage",   "Porte gauche", "Chez Mme Rivière"};

const std::vector<Town> kTowns = {{"LYON", "69003", "001"},
                                  {"LYON", "69007", "001"},
                                  {"VILLEURBANNE", "69100", "003"},
                                  {"VÉNISSIEUX", "69200", "005"},
                                  {"BRON", "69500", "002"},
                                  {"CALUIRE-ET-CUIRE", "69300", "006"},
                                  {"ÉCULLY", "69130", "006"},
                                  {"OULLINS", "69600", "004"},
                                  {"GIVORS", "69700", "004"},
                                  {"SAINT-PRIEST", "69800", "005"},
                                  {"TASSIN-LA-DEMI-LUNE", "69160", "006"},
                                  {"DÉCINES-CHARPIEU", "69150", "002"},
                                  {"MEYZIEU", "69330", "002"},
                                  {"SAINTE-FOY-LÈS-LYON", "69110", "004"}};

const std::vector<Label> kSectors = {{"001", "Lyon centre"},
                                     {"002", "Est lyonnais"},
                                     {"003", "Villeurbanne"},
                                     {"004", "Sud-Ouest lyonnais"},
                                     {"005", "Vénissieux - Saint-Priest"},
                                     {"006", "Nord-Ouest"}};

const std::vector<Label> kResponsibles = {{"001", "DUMONT Claire"},   {"002", "BÉRARD Hélène"},
                                          {"003", "MOREL Jérôme"},    {"004", "FAURE Sophie"},
                                          {"005", "GIRAUD Anaïs"},    {"006", "LÉGER François"},
                                          {"007", "VIDAL Geneviève"}, {"008", "PERRET Noël"}};

const std::vector<const char*> kFundingBodies = {
    "CONSEIL DÉPARTEMENTAL DU RHÔNE", "CARSAT RHÔNE-ALPES", "MUTUELLE DES HÔPITAUX",
    "CAISSE D'ALLOCATIONS FAMILIALES", "MSA AIN-RHÔNE"};

const std::vector<const char*> kAbsenceMotives = {"Maladie",
                                                  "Accident du travail",
                                                  "Accident de trajet",
                                                  "Maternité",
                                                  "Paternité",
                                                  "Maladie professionnelle",
                                                  "Absence autorisée",
                                                  "Absence non autorisée",
                                                  "Formation",
                                                  "Mise à pied",
                                                  "Événement familial",
                                                  "Congés sans solde",
                                                  "Repos compensateur",
                                                  "Congés payés",
                                                  "Congés fractionnement",
                                                  "Congés ancienneté",
                                                  "Congé parental",
                                                  "Congé sabbatique",
                                                  "Congé création d'entreprise",
                                                  "Congé individuel de formation",
                                                  "Congé enfant malade",
                                                  "Congé mariage",
                                                  "Congé décès",
                                                  "Délégation syndicale",
                                                  "Congés délai prévenance",
                                                  "Congé naissance",
                                                  "Congé déménagement",
                                                  "Jour férié",
                                                  "Temps partiel thérapeutique",
                                                  "Invalidité",
                                                  "Congés reportés suite arrêt",
                                                  "Grève",
                                                  "Arrêt maladie prolongé"};

}  // namespace orv::tools::demo
