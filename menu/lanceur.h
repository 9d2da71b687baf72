// Starting what lies outside the program: a web address in the browser, a document in its
// viewer, a program. The system's launcher in use; a recording one under automation and in
// tests, so that nothing outside is started there.
#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace menu {

class Lanceur {
  public:
    enum class Sorte { Adresse, Document, Programme };
    virtual ~Lanceur() = default;
    // False when it could not be started (for a document: when no application of the desktop
    // shows its type).
    virtual bool lancer(Sorte sorte, const QString& cible) = 0;

    // The launcher in use (the system's unless another one was installed).
    static Lanceur& courant();
    static void installer(Lanceur* lanceur);
};

// Records what would be started and answers that it was; the observer sees each request.
class LanceurEnregistreur : public Lanceur {
  public:
    struct Demande {
        Sorte sorte;
        QString cible;
    };
    bool lancer(Sorte sorte, const QString& cible) override;
    const QList<Demande>& demandes() const { return demandes_; }
    void setObservateur(std::function<void(const Demande&)> o) { observateur_ = std::move(o); }
    bool reussite = true;

  private:
    QList<Demande> demandes_;
    std::function<void(const Demande&)> observateur_;
};

QString nomSorte(Lanceur::Sorte sorte);

// Opens a web address in the browser; a browser that cannot be started is reported.
void OuvrirAdresse(const QString& adresse);

}  // namespace menu
