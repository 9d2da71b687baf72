// Ctr_EditEmplTps: prints the timetables of a helper, of a client, or of the helpers or
// clients selected by the host's criteria. Edition asks the user to confirm the period
// (Frm_emploitemps), has the server routine "EDITEMPLOITEMPS" build the timetable record, and
// prints it on the printer the user chooses, always landscape.
//
// Edition's thirteen arguments are passed by reference. A host that binds by name sets them as
// members (Q_PROPERTY, the argument names) and calls Edition() without arguments; the members
// then hold what the edition changed (the person code of the last heading). C++ callers may
// use the overload with the thirteen references, which does the same around them.
#pragma once

#include <QString>
#include <memory>

#include "client/dba.h"
#include "frame/module_control.h"

namespace Ui {
class Ctr_EditEmplTps;
}

namespace horaireaidants {

class Ctr_EditEmplTps : public orv::ModuleControl {
    Q_OBJECT
    Q_PROPERTY(QString W_SansMail MEMBER W_SansMail)
    Q_PROPERTY(QString W_SansTlgMobile MEMBER W_SansTlgMobile)
    Q_PROPERTY(QString W_CodAidant MEMBER W_CodAidant)
    Q_PROPERTY(QString W_User MEMBER W_User)
    Q_PROPERTY(int W_DateVal MEMBER W_DateVal)
    Q_PROPERTY(int w_datefintemp MEMBER w_datefintemp)
    Q_PROPERTY(QString W_CodeAide MEMBER W_CodeAide)
    Q_PROPERTY(QString W_Asso MEMBER W_Asso)
    Q_PROPERTY(QString W_Act MEMBER W_Act)
    Q_PROPERTY(QString W_Tri MEMBER W_Tri)
    Q_PROPERTY(QString W_Select MEMBER W_Select)
    Q_PROPERTY(QString W_De MEMBER W_De)
    Q_PROPERTY(QString W_A MEMBER W_A)
    Q_PROPERTY(QString W_AidantAide MEMBER W_AidantAide)

  public:
    static inline const QString kAucunEmploi =
        QStringLiteral("Aucun emploi du temps à éditer pour les critères sélectionnés.");

    // The routine could not build the timetable (%1: what it said).
    static inline const QString kEmploiNonPrepare =
        QStringLiteral("L'emploi du temps n'a pas pu être préparé : %1. Rien n'a été imprimé.");

    explicit Ctr_EditEmplTps(QWidget* parent = nullptr);
    ~Ctr_EditEmplTps() override;

    // The whole edition, from the members.
    Q_INVOKABLE void Edition();
    void Edition(QString& codAidant, QString& user, int& dateVal, int& dateFinTemp,
                 QString& codeAide, QString& asso, QString& act, QString& tri, QString& select,
                 QString& de, QString& a, QString& aidantAide);

    // The routine call text sent after "EDITEMPLOITEMPS |".
    QString texteAppel() const;
    // What the printout is about, for its document name: the person when there is one, and
    // the period ("aidant 00012 du 01/03/2004 au 30/04/2004").
    QString sujetEdition() const;

    QString W_SansMail;
    QString W_SansTlgMobile;
    QString W_CodAidant;
    QString W_User;
    int W_DateVal = 0;
    int w_datefintemp = 0;
    QString W_CodeAide;
    QString W_Asso;
    QString W_Act;
    QString W_Tri;
    QString W_Select;
    QString W_De;
    QString W_A;
    QString W_AidantAide;

  protected:
    void releaseResources() override;

  private:
    void UserControl_Terminate();
    bool demanderDates();
    void ouvrirFichiers(dba::Database& db);
    // False, with the reason shown to the user, when the routine failed.
    bool construireEmploi(dba::Database& db);
    void imprimer(dba::Database& db);

    std::unique_ptr<Ui::Ctr_EditEmplTps> ui_;
    std::shared_ptr<dba::File> civilAidant_;
    std::shared_ptr<dba::File> civilAide_;
    std::shared_ptr<dba::File> tempo_;
    dba::Record emploi_;
    dba::Record requete_;
    long JourDebut = 0;
    long JourFin = 0;
};

}  // namespace horaireaidants
