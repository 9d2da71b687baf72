// The about box: version, web address and legal notice. Closes only through OK.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Frm_AproposDe;
}

namespace menu {

class Frm_AproposDe : public QDialog {
    Q_OBJECT
  public:
    explicit Frm_AproposDe(QWidget* parent = nullptr);
    ~Frm_AproposDe() override;

    // Version from the version file (the design text stays when it cannot be read), the web
    // address and the legal notice.
    void Form_Load();
    void Etq_SiteWeb_Click();
    void Cmd_OK_Click();

  protected:
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::unique_ptr<Ui::Frm_AproposDe> ui_;
    bool fermeture_ = false;
};

}  // namespace menu
