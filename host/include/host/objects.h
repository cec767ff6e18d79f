// The drawing's objects: linesets, arcs, CAD text, TrueType text and symbol instances.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "host/geometry.h"

namespace host {

// A lineset's vertices, read and changed as a std::vector<Point> is. Up to two (a plain line,
// by far the most common object of a drawing) are kept in the list itself; more go to the heap.
// The heap pointer is kept as bytes so that the list needs only four-byte alignment, which
// keeps an object without padding.
class PointList {
 public:
  using value_type = Point;
  using size_type = size_t;
  using difference_type = std::ptrdiff_t;
  using reference = Point&;
  using const_reference = const Point&;
  using iterator = Point*;
  using const_iterator = const Point*;

  PointList() = default;
  PointList(std::initializer_list<Point> points) { assign(points.begin(), points.end()); }
  PointList(const std::vector<Point>& points) { assign(points.begin(), points.end()); }
  template <typename It>
  PointList(It first, It last) {
    assign(first, last);
  }
  PointList(const PointList& other) { assign(other.begin(), other.end()); }
  PointList(PointList&& other) noexcept;
  PointList& operator=(const PointList& other);
  PointList& operator=(PointList&& other) noexcept;
  PointList& operator=(std::initializer_list<Point> points);
  ~PointList() { Release(); }

  operator std::vector<Point>() const { return {begin(), end()}; }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  size_t capacity() const { return capacity_; }
  Point* data() { return OnHeap() ? Heap() : inline_; }
  const Point* data() const { return OnHeap() ? Heap() : inline_; }
  iterator begin() { return data(); }
  iterator end() { return data() + size_; }
  const_iterator begin() const { return data(); }
  const_iterator end() const { return data() + size_; }
  const_iterator cbegin() const { return begin(); }
  const_iterator cend() const { return end(); }
  Point& operator[](size_t i) { return data()[i]; }
  const Point& operator[](size_t i) const { return data()[i]; }
  Point& at(size_t i);
  const Point& at(size_t i) const;
  Point& front() { return data()[0]; }
  const Point& front() const { return data()[0]; }
  Point& back() { return data()[size_ - 1]; }
  const Point& back() const { return data()[size_ - 1]; }

  void reserve(size_t n);
  void resize(size_t n, Point value = {});
  void clear() { size_ = 0; }
  void push_back(Point p);
  template <typename... Args>
  Point& emplace_back(Args&&... args) {
    push_back(Point{std::forward<Args>(args)...});
    return back();
  }
  void pop_back() { --size_; }
  iterator insert(const_iterator pos, Point p);
  template <typename It>
  iterator insert(const_iterator pos, It first, It last) {
    const std::vector<Point> added(first, last);  // may come from this list itself
    return InsertRange(pos, added.data(), added.size());
  }
  iterator erase(const_iterator pos) { return erase(pos, pos + 1); }
  iterator erase(const_iterator first, const_iterator last);
  template <typename It>
  void assign(It first, It last) {
    const std::vector<Point> points(first, last);
    clear();
    InsertRange(begin(), points.data(), points.size());
  }
  void swap(PointList& other) noexcept;

  friend bool operator==(const PointList& a, const PointList& b);
  friend bool operator==(const PointList& a, const std::vector<Point>& b);

 private:
  static constexpr uint32_t kInline = 2;
  bool OnHeap() const { return capacity_ > kInline; }
  Point* Heap() const {
    Point* p;
    std::memcpy(&p, inline_, sizeof p);
    return p;
  }
  void SetHeap(Point* p) { std::memcpy(static_cast<void*>(inline_), &p, sizeof p); }
  void Release();
  iterator InsertRange(const_iterator pos, const Point* points, size_t count);

  uint32_t size_ = 0;
  uint32_t capacity_ = kInline;
  Point inline_[kInline];  // the vertices, or (on the heap) where they are
  static_assert(sizeof(Point*) <= sizeof(Point) * kInline);
};

struct LinesetData {
  PointList points;
  int16_t style = 0;
  int16_t weight = 0;
};

struct ArcData {
  int32_t radius = 0;
  Point start, end;  // counter-clockwise from start to end; the object's point is the centre
};

struct TextData {
  int32_t size = 0;
  uint16_t charSpacing = 0;
  double orientation = 0;
  double widthFactor = 1;
  int16_t hcode = 0, vcode = 3, font = 0, slant = 0;
  std::string text;
};

struct TrueTypeData {
  double scaleX = 1, scaleY = 1, orientation = 0;
  int16_t hcode = 0, vcode = 3;
  int16_t content = 1;  // 1 RTF document, 2 plain text
  std::string face;
  int16_t size = 10, style = 0;
  std::string document;  // the RTF document (content 1) or the plain text (content 2)
  // For plain text: the layout settings in force when it was made.
  double plainWidth = 12.0;
  int16_t plainWrap = 0, plainAlign = 0;
};

struct SymbolData {
  int32_t symbol = 0;
  std::string name;
  double scaleX = 1, scaleY = 1, scaleZ = 1;
  double rotation = 0, rotationY = 0, rotationZ = 0;
  bool inserted = false;
};

enum class ObjectKind { Lineset, Arc, Text, TrueType, Symbol };

// A value kept on the heap behind a pointer held as bytes (four-byte alignment, as PointList):
// the kinds of object that are few in a drawing but large do not make every object as large.
// Copies copy the value.
template <typename T>
class Boxed {
 public:
  Boxed() : Boxed(T{}) {}
  Boxed(T value) { Set(new T(std::move(value))); }
  Boxed(const Boxed& other) { Set(new T(other.Get())); }
  Boxed(Boxed&& other) noexcept {
    Set(other.Ptr());
    other.Set(nullptr);
  }
  Boxed& operator=(const Boxed& other) {
    if (this == &other) return *this;
    if (Ptr()) {
      Get() = other.Get();
    } else {
      Set(new T(other.Get()));
    }
    return *this;
  }
  Boxed& operator=(Boxed&& other) noexcept {
    if (this != &other) {
      delete Ptr();
      Set(other.Ptr());
      other.Set(nullptr);
    }
    return *this;
  }
  ~Boxed() { delete Ptr(); }
  T& Get() { return *Ptr(); }
  const T& Get() const { return *Ptr(); }

 private:
  T* Ptr() const {
    T* p;
    std::memcpy(&p, bytes_, sizeof p);
    return p;
  }
  void Set(T* p) { std::memcpy(bytes_, &p, sizeof p); }
  unsigned char bytes_[sizeof(T*)];
};

// What an object is, one of LinesetData, ArcData, TextData, TrueTypeData and SymbolData, read as
// a variant is: host::get<TextData>(o.data), host::get_if<LinesetData>(&o.data), index() in that
// order. Linesets and arcs are held in place, the rest on the heap.
class ObjectData {
 public:
  ObjectData() = default;
  ObjectData(LinesetData d) : v_(std::move(d)) {}
  ObjectData(ArcData d) : v_(std::move(d)) {}
  ObjectData(TextData d) : v_(Boxed<TextData>(std::move(d))) {}
  ObjectData(TrueTypeData d) : v_(Boxed<TrueTypeData>(std::move(d))) {}
  ObjectData(SymbolData d) : v_(Boxed<SymbolData>(std::move(d))) {}

  size_t index() const { return v_.index(); }

  template <typename T>
  T* GetIf() {
    if constexpr (kBoxed<T>) {
      auto* b = std::get_if<Boxed<T>>(&v_);
      return b ? &b->Get() : nullptr;
    } else {
      return std::get_if<T>(&v_);
    }
  }
  template <typename T>
  const T* GetIf() const {
    return const_cast<ObjectData*>(this)->GetIf<T>();
  }

 private:
  template <typename T>
  static constexpr bool kBoxed = std::is_same_v<T, TextData> || std::is_same_v<T, TrueTypeData> ||
                                 std::is_same_v<T, SymbolData>;
  std::variant<LinesetData, ArcData, Boxed<TextData>, Boxed<TrueTypeData>, Boxed<SymbolData>> v_;
};

template <typename T>
T* get_if(ObjectData* data) {
  return data ? data->GetIf<T>() : nullptr;
}
template <typename T>
const T* get_if(const ObjectData* data) {
  return data ? data->GetIf<T>() : nullptr;
}
template <typename T>
T& get(ObjectData& data) {
  if (T* p = data.GetIf<T>()) return *p;
  throw std::bad_variant_access();
}
template <typename T>
const T& get(const ObjectData& data) {
  if (const T* p = data.GetIf<T>()) return *p;
  throw std::bad_variant_access();
}
template <typename T>
bool holds_alternative(const ObjectData& data) {
  return data.GetIf<T>() != nullptr;
}

struct Object {
  int32_t id = 0;
  bool final = true;
  int16_t layer = 1;
  int16_t colour = 7;
  Point at;  // lineset: first vertex; arc: centre; text: vertex; TrueType: pick point; symbol:
             // insertion point
  ObjectData data;

  ObjectKind Kind() const { return static_cast<ObjectKind>(data.index()); }
  int16_t HsiType() const;  // HSI_OBJ_...
};

// Moves every point of the object by (dx, dy), clamped to the coordinate range.
void Translate(Object& object, int64_t dx, int64_t dy);

// A short description for transcripts: "lineset 0,0 1000,0", "text \"NOTE\" at 100,200".
std::string Describe(const Object& object);

}  // namespace host
