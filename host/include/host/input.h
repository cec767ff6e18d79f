// The stand-in host's two seams to the outside: where it gets the user's input (points and
// picks), and where it reports what a person at the screen would see. The scripted user
// implements both; tests may implement them directly.
#pragma once

#include <cstdint>
#include <string>

namespace host {

// The user's reply to a point or pick request.
struct PointReply {
  enum class Kind {
    Point,    // a point was given (HsiGetPoint status 1; a pick takes the object there)
    Button2,  // the second mouse button (status 2; a selection ends with 0xFC40)
    Escape,   // cancelled (status 0)
    Status,   // any other status the host reports, in `status`
    Fail,     // the host fails the request (0xFC1B)
    Typed,    // a point typed in the drawing's notation, in `text`; the host reads it
  };
  Kind kind = Kind::Escape;
  int32_t x = 0, y = 0, z = 0;
  int status = 0;
  std::string text;
};

enum class RequestKind { Point, Point3D, Pick };

class InputSource {
 public:
  virtual ~InputSource() = default;
  // The host waits for the user: a point (2D or 3D) or an interactive object pick. The source may
  // run other work while it answers (a menu pick calling a plug-in export, a modeless window).
  virtual PointReply Ask(RequestKind kind, const std::string& prompt) = 0;
};

// What the host shows or does that a person would notice, in order.
struct HostEvent {
  enum class Kind {
    Prompt,           // text: the prompt of a point or pick request
    MessageLine,      // text: HsiPutMsg
    StatusLine,       // HsiStatusLineUpdate
    Callback,         // text: the custom-callback title
    CommandStarted,   // number: a host command number (HsiMenuEntry / HsiNestedMenuEntry)
    ObjectCreated,    // number: id; text: a short description ("text \"NOTE\" at 100,200")
    ObjectDeleted,    // number: id
    MacroRun,         // text: macro file
    FileLoaded,       // text: path; number: kind
    CoordinateInput,  // text: "x,y": a point handed to the host as typed input (HsiCoordInput)
    ViewChanged,      // text: "x1,y1 x2,y2": the part of the drawing the screen now shows
    PointSnapped,     // text: "MODE x,y": the picked point moved onto the drawing by a snap mode
    PointTyped,       // text: "x,y": the point a typed answer stands for
  };
  Kind kind;
  std::string text;
  int64_t number = 0;
};

class HostObserver {
 public:
  virtual ~HostObserver() = default;
  virtual void OnHostEvent(const HostEvent& event) = 0;
};

}  // namespace host
