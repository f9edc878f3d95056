// Random order as a shuffled deck: every picture comes once before any
// comes again. Independent draws (each change a picture at random) show
// some pictures two or three times while others wait for ever; the deck is
// fair. Each card is drawn at random from the cards not yet dealt this
// round, so a change costs the same whatever the size of the deck, and a
// new round needs no shuffle: all cards are simply undealt again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/random_source.h"
#include "library/picture_catalog.h"

namespace vistrel::library {

class PictureDeck {
public:
    // How many of the cards dealt last the first cards of a new round keep
    // clear of: the pictures still on the screens (one for one monitor),
    // so that a round never starts with the picture just shown.
    void setRecentToAvoid(std::size_t count) { recentToAvoid_ = count; }

    // A picture found while the deck is in play joins the cards not yet
    // dealt this round, at a random place (every deal draws at random).
    void add(PictureId picture);
    std::size_t size() const { return cards_.size(); }
    bool empty() const { return cards_.empty(); }

    // The card the next deal gives, drawn now and kept for it: a picture
    // can be got ready before its turn. kNoPicture for an empty deck.
    PictureId peek(RandomSource& random);
    // Deals the next card (the one peek gave, if it was asked).
    PictureId deal(RandomSource& random);

private:
    void startRound();

    // Cards [0, dealt_) are dealt this round, in the order dealt; the rest
    // are not. The last `heldBack_` cards are the previous round's last,
    // kept for the end of the draws while they may still be on a screen.
    std::vector<PictureId> cards_;
    std::size_t dealt_ = 0;
    std::size_t heldBack_ = 0;
    std::size_t recentToAvoid_ = 1;
    bool peeked_ = false;
};

}  // namespace vistrel::library
