#include "controls/declartrim/centre_picker.h"

#include <QComboBox>
#include <QLineEdit>

#include "schema/attributes.h"

namespace declartrim {

CentrePicker::CentrePicker(QLabel* label, QLineEdit* code, QComboBox* names, QObject* parent)
    : CodePicker(label, code, names, Options{2, kNotFound, {}}, parent) {}

void CentrePicker::RequeteCentreUrssaf(dba::Database& db) {
    setList(db.Query(QStringLiteral("SSELECT CENTREURSSAF PAR 1"), QStringLiteral("CENTREURSSAF"),
                     {0, orv::attr::centreurssaf::Nom}));
}

void CentrePicker::RemplirCentreUrssaf() {
    fillNames(2);
    if (count() == 1 && !namesBox()->itemText(0).isEmpty()) codeBox()->setText(codeAt(0));
}

}  // namespace declartrim
