#include <algorithm>
#include <new>
#include <stdexcept>

#include "host/objects.h"

namespace host {

PointList::PointList(PointList&& other) noexcept : size_(other.size_), capacity_(other.capacity_) {
  std::copy(other.inline_, other.inline_ + kInline, inline_);
  other.size_ = 0;
  other.capacity_ = kInline;
}

PointList& PointList::operator=(const PointList& other) {
  if (this != &other) assign(other.begin(), other.end());
  return *this;
}

PointList& PointList::operator=(PointList&& other) noexcept {
  if (this != &other) {
    Release();
    size_ = other.size_;
    capacity_ = other.capacity_;
    std::copy(other.inline_, other.inline_ + kInline, inline_);
    other.size_ = 0;
    other.capacity_ = kInline;
  }
  return *this;
}

PointList& PointList::operator=(std::initializer_list<Point> points) {
  assign(points.begin(), points.end());
  return *this;
}

void PointList::Release() {
  if (OnHeap()) ::operator delete(Heap());
  size_ = 0;
  capacity_ = kInline;
}

Point& PointList::at(size_t i) {
  if (i >= size_) throw std::out_of_range("PointList::at");
  return data()[i];
}

const Point& PointList::at(size_t i) const {
  if (i >= size_) throw std::out_of_range("PointList::at");
  return data()[i];
}

void PointList::reserve(size_t n) {
  if (n <= capacity_) return;
  if (n > UINT32_MAX) throw std::length_error("PointList::reserve");
  Point* points = static_cast<Point*>(::operator new(n * sizeof(Point)));
  std::copy(begin(), end(), points);
  const uint32_t size = size_;
  Release();
  size_ = size;
  capacity_ = static_cast<uint32_t>(n);
  SetHeap(points);
}

void PointList::resize(size_t n, Point value) {
  if (n > size_) {
    if (n > capacity_) reserve(std::max<size_t>(n, size_t{capacity_} * 2));
    std::fill(data() + size_, data() + n, value);
  }
  size_ = static_cast<uint32_t>(n);
}

void PointList::push_back(Point p) {
  if (size_ == capacity_) reserve(size_t{capacity_} * 2);
  data()[size_++] = p;
}

PointList::iterator PointList::insert(const_iterator pos, Point p) {
  return InsertRange(pos, &p, 1);
}

PointList::iterator PointList::InsertRange(const_iterator pos, const Point* points, size_t count) {
  const size_t at = static_cast<size_t>(pos - begin());
  if (size_ + count > capacity_) reserve(std::max(size_ + count, size_t{capacity_} * 2));
  Point* d = data();
  std::copy_backward(d + at, d + size_, d + size_ + count);
  std::copy(points, points + count, d + at);
  size_ += static_cast<uint32_t>(count);
  return d + at;
}

PointList::iterator PointList::erase(const_iterator first, const_iterator last) {
  Point* d = data();
  const size_t from = static_cast<size_t>(first - d), to = static_cast<size_t>(last - d);
  std::copy(d + to, d + size_, d + from);
  size_ -= static_cast<uint32_t>(to - from);
  return d + from;
}

void PointList::swap(PointList& other) noexcept {
  PointList t(std::move(other));
  other = std::move(*this);
  *this = std::move(t);
}

bool operator==(const PointList& a, const PointList& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator==(const PointList& a, const std::vector<Point>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

}  // namespace host
