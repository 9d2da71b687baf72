// The login window of orvanelle-module: the database (when the INI file lists several and none
// was given), the user and the password. OK connects the session; a wrong password is told and
// the window stays, with the password emptied.
#pragma once

#include <QDialog>
#include <memory>

#include "frame/ini_serveurs.h"

namespace Ui {
class Frm_ConnexionModule;
}

namespace uni {
class Session;
}

namespace orv::host {

class Frm_ConnexionModule : public QDialog {
    Q_OBJECT
  public:
    // `databases` may be null when the database is already chosen (--db or --base).
    Frm_ConnexionModule(uni::Session& session, const IniServeurs* databases,
                        const QString& proposedUser, QWidget* parent = nullptr);
    ~Frm_ConnexionModule() override;

    const QString& user() const { return user_; }
    const QString& password() const { return password_; }

    void Cmd_Ok_Click();
    void Cmd_Annuler_Click();

  private:
    bool chooseDatabase();

    std::unique_ptr<Ui::Frm_ConnexionModule> ui_;
    uni::Session& session_;
    const IniServeurs* databases_;
    int databaseIndex_ = -1;
    QString user_;
    QString password_;
};

}  // namespace orv::host
