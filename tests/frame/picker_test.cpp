// The entity lists of the legal-entity picker, built from activities and from the entities.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "frame/code_picker.h"
#include "testkit.h"

namespace {

using orv::test::Fixture;

struct PickerForm {
    QWidget form;
    QLabel* label = new QLabel(&form);
    QLineEdit* code = new QLineEdit(&form);
    QComboBox* names = new QComboBox(&form);
    PickerForm() {
        label->setObjectName("Etq_Assoc");
        code->setObjectName("Txt_CodAssoc");
        names->setObjectName("Cbo_SigleAssoc");
        names->setEditable(true);
    }
};

TEST(EntityPicker, StatementOfTheListBuiltFromActivities) {
    EXPECT_EQ(orv::EntityPicker::activitiesStatement("", ""),
              "SSELECT ACTIVITES AVEC 0 = \"]\" PAR LibAssoActivites");
    EXPECT_EQ(orv::EntityPicker::activitiesStatement("00", " AND AVEC 12 <> \"S\""),
              "SSELECT ACTIVITES AVEC 0 = \"00]\" AND AVEC 12 <> \"S\" PAR LibAssoActivites");
}

TEST(EntityPicker, ActivitiesGroupByEntityWithTheirModes) {
    Fixture fx;
    fx.entity("003", "GAMMA");
    fx.entity("007", "ACME");
    fx.activity("007A", "P");
    fx.activity("003A", "M");
    fx.activity("007B", "I");
    fx.activity("003B", "S");
    fx.activity("005A", "P");  // no ASSOCIATION record: left out
    PickerForm f;
    orv::EntityPicker picker(&f.form);
    picker.setFile(fx.database->OpenFile("ASSOCIATION"));
    QStringList seen;
    picker.buildFromActivities(*fx.database, {},
                               [&](const QString& code, const dba::Record& entity) {
                                   seen << code + "=" + entity.get(1);
                               });
    EXPECT_EQ(seen, QStringList({"003=GAMMA", "007=ACME"}));
    ASSERT_EQ(picker.list().DCount(), 2);
    EXPECT_EQ(picker.list().get(1, 1), "003");
    EXPECT_EQ(picker.list().get(1, 2), "GAMMA");
    EXPECT_EQ(picker.list().get(1, 3, 1), "M");
    EXPECT_EQ(picker.list().get(1, 3, 2), "S");
    EXPECT_EQ(picker.list().get(2, 3, 1), "P");
    EXPECT_EQ(picker.list().get(2, 3, 2), "I");
    EXPECT_EQ(picker.queryResult().DCount(), 5);
    EXPECT_EQ(f.names->count(), 2);
    EXPECT_EQ(f.names->itemText(1), "ACME");
    EXPECT_EQ(f.names->currentText(), "");
    EXPECT_EQ(f.code->text(), "");
}

TEST(EntityPicker, ExtraConditionLeavesActivitiesOut) {
    Fixture fx;
    fx.entity("003", "GAMMA");
    fx.entity("007", "ACME");
    fx.activity("003A", "S");
    fx.activity("007A", "P");
    PickerForm f;
    orv::EntityPicker picker(&f.form);
    picker.setFile(fx.database->OpenFile("ASSOCIATION"));
    picker.buildFromActivities(*fx.database, " AND AVEC 12 <> \"S\"");
    ASSERT_EQ(f.names->count(), 1);
    EXPECT_EQ(picker.codeAt(0), "007");
}

TEST(EntityPicker, ListBuiltFromTheEntitiesSortedByAcronym) {
    Fixture fx;
    fx.entity("001", "ZETA");
    fx.entity("002", "ALPHA");
    PickerForm f;
    orv::EntityPicker picker(&f.form);
    picker.buildFromAssociations(*fx.database);
    ASSERT_EQ(f.names->count(), 2);
    EXPECT_EQ(f.names->itemText(0), "ALPHA");
    EXPECT_EQ(picker.codeAt(0), "002");
    EXPECT_EQ(picker.codeAt(1), "001");
}

TEST(EntityPicker, NoEntityGivesAnEmptyCombo) {
    Fixture fx;
    PickerForm f;
    orv::EntityPicker picker(&f.form);
    picker.buildFromAssociations(*fx.database);
    EXPECT_EQ(f.names->count(), 0);
    EXPECT_FALSE(picker.selectSingleEntry());
}

TEST(EntityPicker, MissingWidgetIsNamed) {
    QWidget form;
    try {
        orv::EntityPicker picker(&form);
        FAIL() << "a control without the picker's widgets was accepted";
    } catch (const std::logic_error& e) {
        EXPECT_NE(std::string(e.what()).find("Contrôle sans "), std::string::npos);
    }
}

}  // namespace
