// Ctr_ActiveXEditDemat: the edit control that issues the invoices chosen in ArchivesEnvoi,
// created by the identifier "Transmelia.Ctr_ActiveXEditDemat".
//
// This is the place where a real electronic-invoicing connector plugs in: a library that
// creates the same identifier, takes TheDatabase and TheClient, and answers EditerFactures,
// replaces this one. This one exports: it writes the ARCHIVEFACT record of each invoice, in the
// order received, one exchange line each ({"file":"ARCHIVEFACT","key":...,"attrs":[...]}, the
// form of `orvanelle-db dump`), to a new file of the export folder ($ORVANELLE_EXPORT, by
// default "Orvanelle/Factures électroniques" in the user's documents), records the file and the
// number of invoices in TEMPO under "ARCHIVEFACT" + user (attribute 1 the file's path,
// attribute 2 the number), and tells the user.
#pragma once

#include <QString>
#include <QStringList>

#include "client/dba.h"
#include "frame/module_control.h"

namespace transmelia {

// The exchange line of one record.
QString ligneEchange(const QString& fichier, const QString& cle, const dba::Record& record);
// The folder the exports go to.
QString dossierExport();
// Writes the lines to a new file of `dossier` named after the user and today's date, never
// over an earlier one; returns its path. Throws std::runtime_error with a French message.
QString ecrireExport(const QString& dossier, const QString& utilisateur, const QStringList& lignes);

class Ctr_ActiveXEditDemat : public orv::ModuleControl {
    Q_OBJECT
  public:
    explicit Ctr_ActiveXEditDemat(QWidget* parent = nullptr);

    // `factures`: the query result as record text, one attribute per invoice, value 1 its
    // ARCHIVEFACT key. The flag and the count are accepted as the callers pass them (True, 1);
    // an export has no use for them, nor for the preprinted-documents setting.
    Q_INVOKABLE void EditerFactures(const QString& factures, bool drapeau,
                                    const QString& utilisateur, int nombre, bool preimprimes);

  private:
    QString dernierExport_;
};

}  // namespace transmelia
