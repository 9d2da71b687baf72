// Code pickers: a code box (QLineEdit) and a combo box of names working together, with a label.
//
//  - key filter on the code box: Backspace passes; Enter left-pads the text with "0" to the
//    code length and is swallowed; every other key that is not a digit is swallowed;
//  - leaving the code box pads a non-empty shorter text the same way;
//  - a code of exactly the code length is read from the picker's file: an unknown code shows
//    the picker's message (exclamation), empties the code box and gives it the focus; a known
//    one selects its list entry (no click; none when the list does not hold it), puts the
//    record's attribute 1 in the combo text and runs the loaded hook; a code of
//    any other length runs the open hook;
//  - a click on the combo (by the user or by setting its index in code) puts the code of that
//    list entry in the code box, which starts the lookup above;
//  - emptying the combo text empties the code box.
//
// EntityPicker is the legal-entity picker (Etq_Assoc, Txt_CodAssoc, Cbo_SigleAssoc, file
// ASSOCIATION, codes of 3 characters) with its two ways of building the entity list. The same
// class with another file, length and message serves other pickers of the same kind (the URSSAF
// centre picker: CENTREURSSAF, 2 characters, "Ce centre Urssaf n'existe pas.").
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "client/dba.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace orv {

class CodePicker : public QObject {
    Q_OBJECT
  public:
    struct Options {
        int codeLength = 3;
        QString notFoundMessage;
    };
    // The widgets live in the control's form; the picker only connects to them.
    CodePicker(QLabel* label, QLineEdit* code, QComboBox* names, Options options,
               QObject* parent = nullptr);

    // The open file the codes are read from (the control opens it with its other files).
    void setFile(std::shared_ptr<dba::File> file) { file_ = std::move(file); }
    const std::shared_ptr<dba::File>& file() const { return file_; }

    // The list behind the combo: attribute k = entry k, value 1 = its code. Setting it does
    // not fill the combo (fillNames does, from value `nameValue` of each attribute).
    void setList(dba::Record list) { list_ = std::move(list); }
    const dba::Record& list() const { return list_; }
    // Number of entries in the combo.
    int count() const;
    // Code of combo entry `index` (from 0): value 1 of attribute index + 1 of the list.
    QString codeAt(int index) const;
    // Combo entry of `code` (from 0), or -1 when the list does not hold it.
    int indexOf(const QString& code) const;

    // The record of the loaded code (empty in the open state).
    const dba::Record& current() const { return current_; }

    // Disables or enables the label, the code box and the combo together.
    void setPickerEnabled(bool enabled);
    // Selects the only entry of a one-entry list (which loads it); true when it did.
    bool selectSingleEntry();
    // Gives the focus to the code box when it is enabled; true when it did.
    bool focusCode();
    // Empties the code box (the picker returns to its open state through the change).
    void clear();

    QLabel* label() const { return label_; }
    QLineEdit* codeBox() const { return code_; }
    QComboBox* namesBox() const { return names_; }

    // Event handlers, named after the widgets of the legal-entity picker; public so that a
    // control can run them as the classic code did (Cbo_SigleAssoc_Click after setting the
    // index, for instance).
    void Txt_CodAssoc_KeyPress(int& keyAscii);
    void Txt_CodAssoc_LostFocus();
    void Txt_CodAssoc_Change();
    void Cbo_SigleAssoc_Click();
    void Cbo_SigleAssoc_Change();

  signals:
    // Any change of the code, before the lookup.
    void codeChanged(const QString& code);
    // A code of the full length names an existing record (its name is already shown).
    void loaded(const QString& code, const dba::Record& record);
    // The code has any other length: back to the open state.
    void opened();

  protected:
    // Left-pads `text` with "0" to the code length.
    QString padded(const QString& text) const;
    void fillNames(int nameValue);

  private:
    QLabel* label_;
    QLineEdit* code_;
    QComboBox* names_;
    Options options_;
    std::shared_ptr<dba::File> file_;
    dba::Record list_;
    dba::Record current_;
};

class EntityPicker : public CodePicker {
    Q_OBJECT
  public:
    static inline const QString kNotFound = QStringLiteral("Cette entité juridique n'existe pas.");

    // Finds Etq_Assoc, Txt_CodAssoc and Cbo_SigleAssoc among the control's children; throws
    // std::logic_error naming a missing one.
    explicit EntityPicker(QWidget* control);

    // Runs for each new entity while the list is built from activities: the entity's code and
    // its ASSOCIATION record.
    using NewEntityHook = std::function<void(const QString& code, const dba::Record& entity)>;

    // List built from the activities: "SSELECT ACTIVITES AVEC 0 = "<code>]" [extra] PAR
    // LibAssoActivites" with fields "0 12", the code being the current text of Txt_CodAssoc
    // and `extraCondition` (" AND AVEC 12 <> "S"") inserted before the sort. One attribute per
    // entity in order of first appearance: value 1 code, value 2 acronym, value 3 the billing
    // mode codes of its activities as subvalues. Fills Cbo_SigleAssoc; needs setFile first.
    void buildFromActivities(dba::Database& db, const QString& extraCondition = {},
                             const NewEntityHook& onNewEntity = {});
    // List built from the legal entities: "SSELECT ASSOCIATION PAR 1", fields "0 1"; the
    // query result is the list (value 1 code, value 2 acronym).
    void buildFromAssociations(dba::Database& db);

    // The query result the list was built from.
    const dba::Record& queryResult() const { return queryResult_; }

    // The statement of the list built from activities, for the given code start.
    static QString activitiesStatement(const QString& codeStart, const QString& extraCondition);

  private:
    dba::Record queryResult_;
};

}  // namespace orv
