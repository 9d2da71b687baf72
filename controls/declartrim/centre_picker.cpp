#include "controls/declartrim/centre_picker.h"

#include <QComboBox>
#include <QLineEdit>

namespace declartrim {

CentrePicker::CentrePicker(QLabel* label, QLineEdit* code, QComboBox* names, QObject* parent)
    : CodePicker(label, code, names, Options{2, kNotFound}, parent) {}

void CentrePicker::RequeteCentreUrssaf(dba::Database& db) {
    dba::Record request;
    request.put(1, QStringLiteral("SSELECT CENTREURSSAF PAR 1"));
    request.put(2, QStringLiteral("CENTREURSSAF"));
    request.put(3, QStringLiteral("0 1"));
    setList(db.Query(request));
}

void CentrePicker::RemplirCentreUrssaf() {
    fillNames(2);
    if (count() == 1 && !namesBox()->itemText(0).isEmpty()) codeBox()->setText(codeAt(0));
}

}  // namespace declartrim
