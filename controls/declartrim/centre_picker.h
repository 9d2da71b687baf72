// The URSSAF centre picker: Etq_CtrUrssaf, Txt_CtrUrssaf and Cbo_CtrUrssaf, two-character codes
// of file CENTREURSSAF, the list of every centre sorted by name.
#pragma once

#include "frame/code_picker.h"

namespace declartrim {

class CentrePicker : public orv::CodePicker {
    Q_OBJECT
  public:
    static inline const QString kNotFound = QStringLiteral("Ce centre Urssaf n'existe pas.");

    CentrePicker(QLabel* label, QLineEdit* code, QComboBox* names, QObject* parent);

    // "SSELECT CENTREURSSAF PAR 1" with fields "0 1": the result is the centre list.
    void RequeteCentreUrssaf(dba::Database& db);
    // Fills Cbo_CtrUrssaf with the centre names; a single named centre puts its code in
    // Txt_CtrUrssaf (which loads it).
    void RemplirCentreUrssaf();
};

}  // namespace declartrim
