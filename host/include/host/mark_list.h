// The temporary images on the host's screen (HsiDrawLine / HsiDrawArc / HsiDrawText), in the order
// they were drawn. A long command highlights a boundary one segment after another, each starting
// where the one before ended: such a run of line marks is kept as its first mark and the further
// end points only, a point (8 bytes) a segment instead of a whole mark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>
#include <vector>

#include "host/geometry.h"

namespace host {

// A temporary image drawn by HsiDrawLine / HsiDrawArc / HsiDrawText (not a drawing object). A
// long command highlights a piece at a time, so a mark is kept small: a text mark's text and its
// size, orientation and justification are kept by the host (Host::MarkLook).
struct ScreenMark {
  enum class Kind : uint8_t { Line, Arc, Text } kind = Kind::Line;
  int16_t colour = 0;
  int32_t radius = 0;
  Point a, b, centre;
  uint32_t text = 0;  // a text mark's look: its place in the host's mark texts, from 1
};

class MarkList {
  // A mark, and the line marks that continue it: each from the end of the one before to the
  // next point of path_[path, path + more), in its colour.
  struct Piece {
    ScreenMark first;
    uint32_t path = 0, more = 0;
  };

 public:
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = ScreenMark;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = ScreenMark;

    const_iterator() = default;
    ScreenMark operator*() const { return list_->At(piece_, step_); }
    const_iterator& operator++() {
      if (step_ < list_->pieces_[piece_].more) {
        ++step_;
      } else {
        ++piece_;
        step_ = 0;
      }
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const const_iterator& l, const const_iterator& r) {
      return l.piece_ == r.piece_ && l.step_ == r.step_;
    }

   private:
    friend class MarkList;
    const_iterator(const MarkList* list, std::size_t piece) : list_(list), piece_(piece) {}
    const MarkList* list_ = nullptr;
    std::size_t piece_ = 0;
    uint32_t step_ = 0;
  };

  void push_back(const ScreenMark& mark) {
    if (mark.kind == ScreenMark::Kind::Line && mark.text == 0 && mark.radius == 0 &&
        mark.centre == Point{} && ExtendLine(mark.a, mark.b, mark.colour))
      return;
    pieces_.push_back({mark, 0, 0});
    ++size_;
  }

  // Draws a line mark from `a` to `b` in `colour` when it continues the newest run of line marks
  // (starts where it ends, in its colour); false, drawing nothing, when it does not.
  bool ExtendLine(Point a, Point b, int16_t colour) {
    if (pieces_.empty()) return false;
    Piece& last = pieces_.back();
    const ScreenMark& f = last.first;
    if (f.kind != ScreenMark::Kind::Line || f.text != 0 || f.colour != colour || f.radius != 0 ||
        !(f.centre == Point{}) || !(a == (last.more == 0 ? f.b : path_.back())) ||
        last.more == UINT32_MAX)
      return false;
    if (last.more == 0) last.path = static_cast<uint32_t>(path_.size());
    path_.push_back(b);
    ++last.more;
    ++size_;
    return true;
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void clear() {
    pieces_.clear();
    path_.clear();
    size_ = 0;
  }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, pieces_.size()}; }
  // The mark drawn `index`-th (walks the pieces: for tests and single looks, not for loops).
  ScreenMark operator[](std::size_t index) const {
    for (std::size_t p = 0; p < pieces_.size(); ++p) {
      if (index <= pieces_[p].more) return At(p, static_cast<uint32_t>(index));
      index -= pieces_[p].more + 1;
    }
    return {};
  }

  // Removes the marks for which `remove` is true; the rest keep their order.
  template <class Pred>
  std::size_t RemoveIf(Pred remove) {
    MarkList kept;
    for (const ScreenMark& m : *this)
      if (!remove(m)) kept.push_back(m);
    const std::size_t removed = size_ - kept.size_;
    if (removed != 0) *this = std::move(kept);
    return removed;
  }
  // Removes the first mark for which `match` is true; false when there is none.
  template <class Pred>
  bool RemoveFirst(Pred match) {
    bool found = false;
    RemoveIf([&](const ScreenMark& m) { return !found && (found = match(m)); });
    return found;
  }

 private:
  ScreenMark At(std::size_t piece, uint32_t step) const {
    const Piece& p = pieces_[piece];
    if (step == 0) return p.first;
    ScreenMark m = p.first;
    m.a = step == 1 ? p.first.b : path_[p.path + step - 2];
    m.b = path_[p.path + step - 1];
    return m;
  }

  std::vector<Piece> pieces_;
  std::deque<Point> path_;  // in blocks: a long run grows without being copied
  std::size_t size_ = 0;
};

}  // namespace host
