// Exact decimal numbers for leave days and their formulas: a fixed point of six decimals in a
// 64-bit integer, so that sums of hundredths of days never drift as binary floating point does.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace soldeconges {

class Nombre {
  public:
    static constexpr std::int64_t kEchelle = 1'000'000;

    constexpr Nombre() = default;
    static constexpr Nombre entier(std::int64_t n) { return Nombre(n * kEchelle); }
    // Reads "250", "-12.5", "12,5", " 3 " (blanks around allowed). Digits beyond the sixth
    // decimal are dropped. Empty or not a number: nullopt.
    static std::optional<Nombre> lire(const QString& texte);
    // As lire, an empty or unreadable text counting as 0 (the attributes of a contract that
    // were never filled).
    static Nombre lireOuZero(const QString& texte);

    // Rounds down to a whole number (Int): Int(2.5) = 2, Int(-2.5) = -3.
    Nombre partieEntiere() const;
    Nombre centiemes() const { return Nombre(unites_ / 100); }  // exact on hundredths
    // Number written in the French way: decimal comma, no useless zeros ("2,5", "10", "-0,25").
    QString texte() const;

    Nombre operator+(Nombre o) const { return Nombre(unites_ + o.unites_); }
    Nombre operator-(Nombre o) const { return Nombre(unites_ - o.unites_); }
    Nombre& operator+=(Nombre o) {
        unites_ += o.unites_;
        return *this;
    }
    auto operator<=>(const Nombre&) const = default;
    std::int64_t unites() const { return unites_; }

  private:
    explicit constexpr Nombre(std::int64_t unites) : unites_(unites) {}
    std::int64_t unites_ = 0;
};

// Rounds numerateur / denominateur (denominateur > 0) to the nearest whole number, halves to
// the even one (CInt): 5/2 gives 2, 7/2 gives 4.
std::int64_t arrondiPair(std::int64_t numerateur, std::int64_t denominateur);

}  // namespace soldeconges
