#include "library/picture_deck.h"

#include <algorithm>
#include <utility>

namespace vistrel::library {

void PictureDeck::add(PictureId picture) {
    cards_.push_back(picture);
    // Put before the held-back cards, which stay last and in the order
    // they were dealt, the first of them released first.
    if (heldBack_ > 0) std::rotate(cards_.end() - static_cast<std::ptrdiff_t>(heldBack_) - 1, cards_.end() - 1, cards_.end());
}

void PictureDeck::startRound() {
    dealt_ = 0;
    // The cards dealt last sit at the end; hold them back, but always leave
    // at least one card to draw from.
    heldBack_ = std::min(recentToAvoid_, cards_.size() - 1);
}

PictureId PictureDeck::peek(RandomSource& random) {
    if (cards_.empty()) return kNoPicture;
    if (peeked_) return cards_[dealt_];
    if (dealt_ >= cards_.size()) startRound();
    const std::size_t drawable = cards_.size() - dealt_ - heldBack_;
    const std::size_t drawn = dealt_ + random.below(static_cast<std::uint32_t>(drawable));
    std::swap(cards_[dealt_], cards_[drawn]);
    // Each deal moves the window of recent cards on by one: one fewer of
    // the previous round's may still be on a screen.
    if (heldBack_ > 0) --heldBack_;
    peeked_ = true;
    return cards_[dealt_];
}

PictureId PictureDeck::deal(RandomSource& random) {
    const PictureId card = peek(random);
    if (card == kNoPicture) return card;
    peeked_ = false;
    ++dealt_;
    return card;
}

}  // namespace vistrel::library
