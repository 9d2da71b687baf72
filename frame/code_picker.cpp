#include "frame/code_picker.h"
#include "client/requete.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <stdexcept>

#include "platform/input.h"
#include "platform/messages.h"
#include "schema/attributes.h"

namespace orv {

namespace {

const QChar kQuote = QLatin1Char('"');

template <class T>
T* requiredChild(QWidget* control, const char* name) {
    auto* child = control->findChild<T*>(QLatin1String(name));
    if (!child)
        throw std::logic_error(std::string("Contrôle sans ") + name + " : sélecteur impossible");
    return child;
}

}  // namespace

CodePicker::CodePicker(QLabel* label, QLineEdit* code, QComboBox* names, Options options,
                       QObject* parent)
    : QObject(parent), label_(label), code_(code), names_(names), options_(std::move(options)) {
    names_->setInsertPolicy(QComboBox::NoInsert);
    onKeyPress(code_, [this](int& keyAscii) { Txt_CodAssoc_KeyPress(keyAscii); });
    onLostFocus(code_, [this] { Txt_CodAssoc_LostFocus(); });
    connect(code_, &QLineEdit::textChanged, this, [this] { Txt_CodAssoc_Change(); });
    // A click is a choice by the user (activated, even of the entry already current) or a
    // change of the list index made in code (currentIndexChanged). Both may come for one
    // choice; the second finds the code already set and changes nothing.
    connect(names_, &QComboBox::currentIndexChanged, this, [this] { Cbo_SigleAssoc_Click(); });
    connect(names_, &QComboBox::activated, this, [this] { Cbo_SigleAssoc_Click(); });
    connect(names_, &QComboBox::currentTextChanged, this, [this] { Cbo_SigleAssoc_Change(); });
}

QString CodePicker::padded(const QString& text) const { return padLeft(text, options_.codeLength); }

int CodePicker::count() const { return names_->count(); }

QString CodePicker::codeAt(int index) const { return list_.get(index + 1, 1); }

int CodePicker::indexOf(const QString& code) const {
    for (int index = 0; index < count(); ++index)
        if (codeAt(index) == code) return index;
    return -1;
}

void CodePicker::setPickerEnabled(bool enabled) {
    label_->setEnabled(enabled);
    code_->setEnabled(enabled);
    names_->setEnabled(enabled);
}

bool CodePicker::selectSingleEntry() {
    if (count() != 1) return false;
    if (names_->currentIndex() == 0)
        Cbo_SigleAssoc_Click();
    else
        names_->setCurrentIndex(0);
    return true;
}

bool CodePicker::focusCode() {
    if (!code_->isEnabled()) return false;
    code_->setFocus();
    return true;
}

void CodePicker::clear() { code_->clear(); }

void CodePicker::Txt_CodAssoc_KeyPress(int& keyAscii) {
    if (keyAscii == keys::Backspace) return;
    if (keyAscii == keys::Enter) {
        code_->setText(padded(code_->text()));
        keyAscii = 0;
        return;
    }
    filterDigits(keyAscii);
}

void CodePicker::Txt_CodAssoc_LostFocus() {
    const QString text = code_->text();
    if (!text.isEmpty() && text.size() < options_.codeLength) code_->setText(padded(text));
}

void CodePicker::Txt_CodAssoc_Change() {
    const QString code = code_->text();
    emit codeChanged(code);
    if (code.size() != options_.codeLength) {
        current_ = dba::Record();
        emit opened();
        return;
    }
    if (!file_) throw std::logic_error("Sélecteur de code sans fichier ouvert");
    dba::Record record;
    try {
        record = file_->Read(code);
    } catch (const dba::Error& e) {
        if (e.number() != dba::kRecordNotFound) throw;
        MsgBox(options_.notFoundMessage, MsgExclamation);
        code_->clear();
        code_->setFocus();
        return;
    }
    current_ = record;
    {
        // The list index follows the code shown, without a click: the entry of this code, or
        // none when the list does not hold it. A list without an edit part shows the name so.
        const QSignalBlocker block(names_);
        names_->setCurrentIndex(indexOf(code));
        if (!names_->isEditable() && names_->currentIndex() < 0)
            names_->setCurrentIndex(names_->findText(record.get(1)));
    }
    if (names_->isEditable()) names_->setEditText(record.get(1));
    emit loaded(code, record);
}

void CodePicker::Cbo_SigleAssoc_Click() {
    const int index = names_->currentIndex();
    if (index < 0) return;
    code_->setText(codeAt(index));
}

void CodePicker::Cbo_SigleAssoc_Change() {
    if (names_->currentText().isEmpty()) code_->clear();
}

void CodePicker::fillNames(int nameValue) {
    const QSignalBlocker block(names_);
    names_->clear();
    if (!list_.get(1).isEmpty())
        for (int k = 1; k <= list_.DCount(); ++k) names_->addItem(list_.get(k, nameValue));
    // Filled lists start with nothing chosen and an empty text.
    names_->setCurrentIndex(-1);
    if (names_->isEditable()) names_->setEditText(QString());
}

// ---------------------------------------------------------------------------------------------

EntityPicker::EntityPicker(QWidget* control)
    : CodePicker(requiredChild<QLabel>(control, "Etq_Assoc"),
                 requiredChild<QLineEdit>(control, "Txt_CodAssoc"),
                 requiredChild<QComboBox>(control, "Cbo_SigleAssoc"), Options{3, kNotFound},
                 control) {}

QString EntityPicker::activitiesStatement(const QString& codeStart, const QString& extraCondition) {
    return QStringLiteral("SSELECT ACTIVITES AVEC 0 = ") +
           orv::valeurRequete(codeStart + QLatin1Char(']')) + extraCondition +
           QStringLiteral(" PAR LibAssoActivites");
}

void EntityPicker::buildFromActivities(dba::Database& db, const QString& extraCondition,
                                       const NewEntityHook& onNewEntity) {
    if (!file()) throw std::logic_error("Sélecteur d'entité sans fichier ASSOCIATION ouvert");
    queryResult_ = db.Query(activitiesStatement(codeBox()->text(), extraCondition),
                            QStringLiteral("ACTIVITES"), {0, attr::activites::Mode});

    dba::Record list;
    QString current;
    bool currentListed = false;
    int k = 0;
    int subvalue = 0;
    for (int i = 1; i <= queryResult_.DCount(); ++i) {
        const QString code = queryResult_.get(i, 1).left(3);
        const QString mode = queryResult_.get(i, 2);
        if (i == 1 || code != current) {
            current = code;
            // An activity whose entity has no record cannot be chosen: it is left out.
            dba::Record entity;
            try {
                entity = file()->Read(code);
                currentListed = true;
            } catch (const dba::Error& e) {
                if (e.number() != dba::kRecordNotFound) throw;
                currentListed = false;
                continue;
            }
            ++k;
            list.put(k, 1, code);
            list.put(k, 2, entity.get(1));
            list.put(k, 3, 1, mode);
            subvalue = 1;
            if (onNewEntity) onNewEntity(code, entity);
        } else if (currentListed) {
            ++subvalue;
            list.put(k, 3, subvalue, mode);
        }
    }
    setList(list);
    fillNames(2);
}

void EntityPicker::buildFromAssociations(dba::Database& db) {
    queryResult_ = db.Query(QStringLiteral("SSELECT ASSOCIATION PAR 1"),
                            QStringLiteral("ASSOCIATION"), {0, attr::association::Sigle});
    setList(queryResult_);
    fillNames(2);
}

}  // namespace orv
