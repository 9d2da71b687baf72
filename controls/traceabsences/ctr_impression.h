// Ctr_Impression: prints the absence list of a period, or the forecast leave report, from the
// lines its host builds. The host sets the data-access objects, the rights, the members and
// Requete, then calls Init, which prints the whole report on the printer W_Res of the printer
// list, ends the document and releases what it holds. The control has no window of its own and
// is not used again: once Init returns, its host window may close (W_Sortir reads True).
//
// Booleans are 16-bit integers (True = -1), days are internal day numbers. Requete is the
// report's dynamic array as text (attribute marks between lines, value marks between columns);
// a text "@FILE" reads FILE instead, one line of the report per JSON line given as the array of
// its values (value 1 first); an empty file is an empty Requete.
#pragma once

#include <QString>

#include "client/dba.h"
#include "frame/module_control.h"

namespace traceabsences {

// The report lines of a JSON-lines file, one attribute per line; std::invalid_argument with a
// French message when the file cannot be read or a line is not an array.
dba::Record requeteDepuisFichier(const QString& path);

class Ctr_Impression : public orv::ModuleControl {
    Q_OBJECT
    Q_PROPERTY(int W_Deb MEMBER W_Deb)
    Q_PROPERTY(int W_DateFin MEMBER W_DateFin)
    Q_PROPERTY(short W_CongeAbsence MEMBER W_CongeAbsence)
    Q_PROPERTY(short W_Secteur MEMBER W_Secteur)
    Q_PROPERTY(short W_Commune MEMBER W_Commune)
    Q_PROPERTY(int W_Res MEMBER W_Res)
    Q_PROPERTY(short W_Graphique MEMBER W_Graphique)
    Q_PROPERTY(short W_CongesPrev MEMBER W_CongesPrev)
    Q_PROPERTY(short W_ArretTravail MEMBER W_ArretTravail)
    Q_PROPERTY(short W_Conges MEMBER W_Conges)
    Q_PROPERTY(short W_EvtFam MEMBER W_EvtFam)
    Q_PROPERTY(short W_AValider MEMBER W_AValider)
    Q_PROPERTY(QString Requete READ requeteTexte WRITE setRequete)

  public:
    static inline const QString kCleDroits = QStringLiteral("ABSENCESAIDANT");
    static inline const QString kTitre = QStringLiteral("TraceAbsences");
    static inline const QString kAucunAidant =
        QStringLiteral("Aucun aidant à éditer. Cela peut être dû aux droits utilisateurs.");

    explicit Ctr_Impression(QWidget* parent = nullptr);
    ~Ctr_Impression() override;

    void setRequete(const QString& texte);
    void setRequete(const dba::Record& requete) { requete_ = requete; }
    QString requeteTexte() const { return requete_.get(); }

    int W_Deb = 0;
    int W_DateFin = 0;
    short W_CongeAbsence = 0;
    short W_Secteur = 0;
    short W_Commune = 0;
    int W_Res = 0;
    short W_Graphique = 0;
    short W_CongesPrev = 0;
    short W_ArretTravail = 0;
    short W_Conges = 0;
    short W_EvtFam = 0;
    short W_AValider = 0;

  protected:
    void start() override;

  private:
    void imprimer(dba::Database& db);
    void liberer();

    dba::Record requete_;
};

}  // namespace traceabsences
