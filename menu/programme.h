// The program-wide values of MenuCadrius, alive for the whole run: the session used for the
// login and the telegestion files, the server and account paths read from the INI file, the
// chosen database and the login values, and the shared telegestion file handles.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "client/uniobjects.h"

namespace menu {

class Mdi_Vesperon;

// One shared file handle of the telegestion files and its current record.
struct FichierVesperon {
    std::shared_ptr<uni::File> fichier;
    uni::Record enregistrement;
};

// The four shared handles, opened through the session.
struct FichiersVesperon {
    FichierVesperon rapports;      // VESPERONRAPPORTS
    FichierVesperon periodesPaie;  // PERIODESPAIE
    FichierVesperon tlgParam;      // TLGPARAM
    FichierVesperon compteur;      // COMPTEUR
};

struct Programme {
    std::unique_ptr<uni::Session> SessionBase;
    QString ServeurBase;
    // Account path of the i-th database line of the INI file at index i - 1.
    QStringList CheminsBases;
    // The database labels, in the same order.
    QStringList libelles;
    QString NomBase;
    QString NomUtilisateur;
    QString MotPasse;
    FichiersVesperon fichiers;

    // The main window, once the splash has created it.
    std::unique_ptr<Mdi_Vesperon> mdi;

    // Ending the program: the start-up sequence checks `termine` after each step; once the
    // event loop runs, `surFin` ends it (QCoreApplication::exit in the program).
    bool termine = false;
    int codeSortie = 0;
    std::function<void(int code)> surFin;
    void Terminer(int code) {
        termine = true;
        codeSortie = code;
        if (surFin) surFin(code);
    }

    // The account path of a database label as listed in the INI file; the label itself when it
    // is not listed (a path given directly).
    QString cheminDe(const QString& libelle) const;

    Programme();
    ~Programme();
    Programme(const Programme&) = delete;
    Programme& operator=(const Programme&) = delete;
};

}  // namespace menu
