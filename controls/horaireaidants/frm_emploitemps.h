// Frm_emploitemps: the modal window in which the user confirms or changes the first and last
// day of a timetable edition. It reads the proposed days from DateDebut and DateFin and, on
// "Ok" with a valid period, writes the confirmed ones back and sets DatesValidees.
#pragma once

#include <QDialog>
#include <memory>

class QLineEdit;

namespace Ui {
class Frm_emploitemps;
}

namespace horaireaidants {

class Frm_emploitemps : public QDialog {
    Q_OBJECT
  public:
    explicit Frm_emploitemps(QWidget* parent = nullptr);
    ~Frm_emploitemps() override;

    void Form_Load();
    void degrise();
    void Cmd_Ok_Click();
    void Cmd_sortir_Click();
    void Txt_datedebut_Change();
    void Txt_datefin_Change();
    void Txt_datedebut_LostFocus();
    void Txt_datefin_LostFocus();
    void Txt_datedebut_KeyPress(int& keyAscii);
    void Txt_datefin_KeyPress(int& keyAscii);

    // The window may close only when this is True.
    bool w_sortir = false;

  public slots:
    // Escape, like the close box, is refused while w_sortir is False.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void changerTexte(QLineEdit* boite);
    // False when the box's date cannot be used (the message was shown, the box has the focus).
    bool quitterBoite(QLineEdit* boite);
    void validerParEntree(QLineEdit* boite, int& keyAscii);
    void fermer(int resultat);

    std::unique_ptr<Ui::Frm_emploitemps> ui_;
};

}  // namespace horaireaidants
