#include "serve.h"

#include <httplib.h>
#if !defined(_WIN32)
#include <pthread.h>
#include <zlib.h>
#endif

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <set>
#include <thread>

#include "host/host.h"
#include "host_setup.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/text.h"
#include "platform/ui_driver.h"
#include "plugin_library.h"
#include "serve_forms.h"
#include "serve_picture.h"
#include "serve_web.h"
#include "user/exports.h"
#include "user/session.h"

namespace fs = std::filesystem;
using nlohmann::json;
using Clock = std::chrono::steady_clock;

namespace {

// The first line of a session saved from the page.
const std::string kKeptHeader =
    "# Drafted at the tracelon page; play it again with: tracelon run FILE\n";

// A drafter's page that has not asked for anything this long has gone: another may take over.
constexpr auto kDrafterGone = std::chrono::seconds(30);
// A page waits this long for a new state before it asks again.
constexpr auto kPollWait = std::chrono::seconds(20);
// A line that the program has not taken within this time is reported as not taken.
constexpr auto kLineWait = std::chrono::seconds(120);
// The page's requests are single lines; anything much larger is not from the page.
constexpr size_t kBodyLimit = 4u << 20;

// The words the drafting page itself sends. Scripted sessions have more (expectations, waits,
// the machine's disk and files), but a page asking for those is not this program's page: they
// are refused by name before they reach the session.
bool PageSends(const std::string& line, std::string& refusal) {
  std::vector<user::Word> words;
  try {
    words = user::SplitWords(line);
  } catch (const std::invalid_argument& e) {
    refusal = e.what();
    return false;
  }
  if (words.empty()) return true;
  static const std::set<std::string> verbs = {
      "run",    "point",  "b2",     "escape", "close", "pick",     "set",   "type",
      "check",  "select", "cell",   "tab",    "click", "dblclick", "mouse", "focus",
      "answer", "file",   "folder", "input",  "font",  "host"};
  static const std::set<std::string> hostWords = {"line",  "arc",  "text",   "select",
                                                  "erase", "undo", "active", "layer"};
  const std::string& verb = words[0].text;
  if (words[0].quoted || !verbs.count(verb)) {
    refusal = "\"" + verb + "\" is a word of scripted sessions; the page does not take it";
    return false;
  }
  if (verb == "host" && (words.size() < 2 || !hostWords.count(words[1].text))) {
    refusal = "\"host " + (words.size() < 2 ? std::string() : words[1].text) +
              "\" is a word of scripted sessions; the page does not take it";
    return false;
  }
  return true;
}

// What the page asks the program to do: one session line, acting on a window when `form` is set.
struct Request {
  std::string line;
  uint32_t form = 0;
  bool drawing = false;  // asks for the drawing as JSON (in `message`), not a line
  bool dxf = false;      // with `drawing`: as DXF instead
  std::string detail;    // a refusal as the session engine words it, for the curious
  bool done = false;
  bool ok = false;
  std::string message;
  uint64_t seq = 0;
};

// The meeting point of the program's thread and the server's threads. The program thread alone
// touches the host, the platform and the plug-in; it publishes what the page shows as finished
// texts, and takes the page's requests one at a time.
class Hub {
 public:
  // ---- The program's side ----
  // The state (without the drawing), the drawing as the host has it now and the session text.
  // The drawing goes to a page as what changed since the version the page has, and the session
  // only when asked for: at 10,000 objects each is megabytes.
  void Publish(std::string state, const host::Host* drawing, std::string session,
               std::vector<std::pair<uint32_t, std::string>> forms) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++seq_;
    picture_.Update(drawing);
    // Each window's model, with the state it last changed in: one the page has is not resent.
    std::vector<ShownForm> shown;
    for (auto& [handle, model] : forms) {
      ShownForm form{handle, std::move(model), seq_};
      for (const ShownForm& old : forms_) {
        if (old.handle == handle && old.model == form.model) form.changed = old.changed;
      }
      shown.push_back(std::move(form));
    }
    forms_ = std::move(shown);
    // The state's own sequence number and drawing version go in front of the rest of its fields.
    state_ = "{\"seq\":" + std::to_string(seq_) +
             ",\"svgVersion\":" + std::to_string(picture_.Version()) + "," + state.substr(1);
    session_ = std::move(session);
    changed_.notify_all();
  }
  // The next request, or null when the program is to stop.
  std::shared_ptr<Request> Next() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return quit_ || !inbox_.empty(); });
    if (quit_) return nullptr;
    auto request = inbox_.front();
    inbox_.pop_front();
    return request;
  }
  void Finish(const std::shared_ptr<Request>& request, bool ok, const std::string& message,
              const std::string& detail = "") {
    std::lock_guard<std::mutex> lock(mutex_);
    request->done = true;
    request->ok = ok;
    request->message = message;
    request->detail = detail;
    request->seq = seq_;
    changed_.notify_all();
  }
  void MarkEnded(std::string finalDrawing, std::string finalDxf) {
    std::lock_guard<std::mutex> lock(mutex_);
    ended_ = true;
    finalDrawing_ = std::move(finalDrawing);
    finalDxf_ = std::move(finalDxf);
    for (auto& r : inbox_) {
      r->done = true;
      r->message = "the program has ended";
    }
    inbox_.clear();
    changed_.notify_all();
  }

  // ---- The server's side ----
  // Hands a request to the program and waits until it was taken or refused.
  void Submit(const std::shared_ptr<Request>& request) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (ended_ || quit_) {
      request->message = "the program has ended";
      return;
    }
    inbox_.push_back(request);
    changed_.notify_all();
    if (!changed_.wait_for(lock, kLineWait, [&] { return request->done; })) {
      request->message = "the program did not take the line in time";
    }
  }
  // The state once it is newer than `after` (or after a while, the same one), with what changed
  // in the drawing since the version the page has.
  std::string State(uint64_t after, uint64_t svgVersion) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, kPollWait, [&] { return seq_ > after || ended_; });
    // The windows: those that did not change since the state the page has are named only.
    std::string answer = state_.substr(0, state_.size() - 1) + ",\"forms\":[";
    for (size_t i = 0; i < forms_.size(); ++i) {
      if (i) answer += ",";
      const bool has = after > 0 && forms_[i].changed <= after;
      answer += has ? "{\"handle\":" + std::to_string(forms_[i].handle) + ",\"same\":true}"
                    : forms_[i].model;
    }
    answer += "]";
    std::string picture = picture_.Since(svgVersion);
    if (!picture.empty()) answer += ",\"picture\":" + picture;
    return answer + "}";
  }
  std::string Session() {
    std::lock_guard<std::mutex> lock(mutex_);
    return session_;
  }
  void Quit() {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
    changed_.notify_all();
  }
  // The drawing left when the program ended (empty while it runs).
  std::optional<std::string> FinalDrawing() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ended_) return std::nullopt;
    return finalDrawing_;
  }
  // The same drawing as DXF (empty where this build writes none).
  std::optional<std::string> FinalDxf() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!ended_) return std::nullopt;
    return finalDxf_;
  }

  // ---- One drafter at a time ----
  std::optional<std::string> Join() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!token_.empty() && Clock::now() - lastSeen_ < kDrafterGone) return std::nullopt;
    std::random_device random;
    char b[33];
    std::snprintf(b, sizeof b, "%08x%08x%08x%08x", random(), random(), random(), random());
    token_ = b;
    lastSeen_ = Clock::now();
    return token_;
  }
  // The drafter's page was closed: another may take over at once.
  void Leave(const std::string& token) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!token.empty() && token == token_) token_.clear();
  }
  bool IsDrafter(const std::string& token) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (token.empty() || token != token_) return false;
    lastSeen_ = Clock::now();
    return true;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  uint64_t seq_ = 0;
  std::string state_ = "{\"seq\":0}";
  std::string session_;
  LivePicture picture_;
  struct ShownForm {
    uint32_t handle = 0;
    std::string model;     // JSON
    uint64_t changed = 0;  // the state it last changed in
  };
  std::vector<ShownForm> forms_;
  std::string finalDrawing_ = "{}";
  std::string finalDxf_;
  std::deque<std::shared_ptr<Request>> inbox_;
  bool quit_ = false;
  bool ended_ = false;
  std::string token_;
  Clock::time_point lastSeen_{};
};

// A refusal in the drafter's words: what to do instead of what the line did not answer. Other
// refusals (a control that is disabled, an item not in the list) keep the engine's reason,
// without the session's file and line number in front.
std::string PlainRefusal(const user::Question& question) {
  const std::string& why = question.refusal;
  const bool mismatch = why.find("does not answer what the program asks") != std::string::npos;
  std::string detail;
  for (const auto& [key, value] : question.details) {
    if (key == "caption" || key == "title") detail = value;
  }
  if (why.find("answers nothing") != std::string::npos) {
    return "Nothing is asked now: pick a command from the menu.";
  }
  if (mismatch) {
    const std::string& kind = question.kind;
    if (kind == "form" && question.form) {
      return "Finish or cancel the " + platform::StripCaption(question.form->Caption()) +
             " dialog first.";
    }
    if (kind == "message") return "Answer the box \"" + detail + "\" first.";
    if (kind == "point" || kind == "3d point" || kind == "pick") {
      return "The program asks for " + std::string(kind == "pick" ? "an object" : "a point") +
             ": click it on the drawing, or press Esc to cancel.";
    }
    if (kind == "open file" || kind == "folder" || kind == "font" || kind == "input") {
      return "Finish or cancel the " + (detail.empty() ? kind : detail) + " dialog first.";
    }
  }
  if (why.find("there is nothing to undo") != std::string::npos) return "Nothing to undo.";
  if (why.find("nothing is selected to erase") != std::string::npos) {
    return "Nothing is selected: pick Select and click the objects to erase first.";
  }
  // "<session>:N: reason": the reason alone.
  const size_t colon = why.find(": ");
  if (why.rfind("<", 0) == 0 && colon != std::string::npos) return why.substr(colon + 2);
  return why;
}

// The session's live source: publishes what the page shows, then waits for the page's next
// request and turns it into session lines.
class PageSource {
 public:
  PageSource(Hub& hub, user::Session& session, PictureStore& pictures, fs::path kept)
      : hub_(hub), session_(session), pictures_(pictures), kept_(std::move(kept)) {}

  std::optional<std::string> operator()(const user::Question& question) {
    if (current_) {
      if (!question.refusal.empty()) {
        queue_.clear();
        Publish(question);
        hub_.Finish(current_, false, PlainRefusal(question), question.refusal);
        current_ = nullptr;
      } else {
        Accepted();
        if (!queue_.empty()) return Take();
        Publish(question);
        hub_.Finish(current_, true, "");
        current_ = nullptr;
      }
    } else {
      Publish(question);
    }
    for (;;) {
      std::shared_ptr<Request> request = hub_.Next();
      if (!request) return std::nullopt;
      if (request->drawing) {
        // Made when asked for, by this thread, which alone touches the host.
        if (request->dxf) {
          std::string dxf, error;
          const bool made = DrawingDxf(&dxf, &error);
          hub_.Finish(request, made, made ? dxf : error, made ? "" : "no DXF");
          continue;
        }
        const host::Host* h = host::Host::Current();
        hub_.Finish(request, true, h ? h->ToJson() : "{}");
        continue;
      }
      std::string error = Expand(*request);
      if (!error.empty()) {
        hub_.Finish(request, false, error);
        continue;
      }
      current_ = request;
      return Take();
    }
  }

  // The last state, once more (when the program has ended).
  void PublishEnd(const std::string& failure) {
    user::Question none;
    none.kind = "ended";
    none.description = failure.empty() ? "the program has ended" : failure;
    failure_ = failure;
    Publish(none);
  }

 private:
  std::string Take() {
    last_ = queue_.front();
    queue_.pop_front();
    return last_;
  }

  // The line handed out last stands: keep track of the form block it leaves open.
  void Accepted() {
    if (last_.rfind("form ", 0) == 0) {
      inBlock_ = true;
    } else if (last_.empty() || last_[0] != ' ') {
      inBlock_ = false;
    }
  }

  // The request's lines: an action on a window goes under a "form" line naming it, unless the
  // block open already acts on it.
  std::string Expand(const Request& request) {
    queue_.clear();
    std::string line = request.line;
    while (!line.empty() && (line[0] == ' ' || line[0] == '\t')) line.erase(0, 1);
    if (line.empty()) return "the line holds nothing to do";
    if (line.find_first_of("\r\n") != std::string::npos) return "one line at a time";
    if (std::string refusal; !PageSends(line, refusal)) return refusal;
    if (!request.form) {
      queue_.push_back(line);
      return "";
    }
    platform::Form* form = nullptr;
    for (platform::Form* shown : platform::ShownForms()) {
      if (shown->Handle() == request.form) form = shown;
    }
    if (!form) return "that window is not shown now";
    if (!inBlock_ || session_.BlockForm() != form) {
      const std::string& name = form->ClassName();
      bool bare = !name.empty() && name.find_first_of(" \t\"#\\") == std::string::npos;
      queue_.push_back("form " + (bare ? name : user::Quote(name)));
    }
    queue_.push_back("  " + line);
    return "";
  }

  void Publish(const user::Question& question) {
    json state;
    json details = json::object();
    for (const auto& [key, value] : question.details) details[key] = value;
    state["question"] = {{"kind", question.kind},
                         {"description", question.description},
                         {"form", question.form ? question.form->Handle() : 0},
                         {"details", details}};
    const host::Host* h = host::Host::Current();
    state["messageLine"] = h ? h->MessageLine() : "";
    state["title"] = h ? h->CallbackTitle() : "";
    state["statusUpdates"] = h ? h->StatusLineUpdates() : 0;
    state["prompt"] = session_.LastPrompt();
    json layers = json::array();
    if (h) {
      for (int layer = 1; layer <= HSI_LAYER_COUNT; ++layer) {
        const host::LayerState& l = h->Layer(layer);
        // Every layer, so that any can be switched on or off from the page.
        layers.push_back(
            {{"layer", layer}, {"name", l.name}, {"on", l.On()}, {"colour", l.colour}});
      }
      state["activeLayer"] = h->ActiveLayer();
      // What Erase and Undo would act on: the page greys them out when there is nothing.
      const host::SelectionList* selection = h->List(0);
      state["edit"] = {{"selected", selection ? selection->entries.size() : 0},
                       {"undoable", h->HistorySize()}};
      state["snapMode"] = h->SnapMode();
      // The part of the drawing the host's last zoom asked to show; the page moves its own view
      // there each time it changes (the count tells a new zoom from the same one).
      if (h->ViewChanges() > 0) {
        const host::Box& v = h->View();
        state["view"] = {
            {"x1", v.x1}, {"y1", v.y1}, {"x2", v.x2}, {"y2", v.y2}, {"number", h->ViewChanges()}};
      }
      // The coordinate read-out shows the drawing's own notation.
      const host::UnitSettings& u = h->Units();
      const uint16_t unit = host::NotationUnit(u);
      static const std::map<uint16_t, const char*> kMarks = {
          {HSI_UNIT_FEET_INCHES, "ft-in"}, {HSI_UNIT_INCHES, "\""},      {HSI_UNIT_FEET, "'"},
          {HSI_UNIT_MILLIMETRES, "mm"},    {HSI_UNIT_CENTIMETRES, "cm"}, {HSI_UNIT_METRES, "m"}};
      state["units"] = {{"mark", kMarks.count(unit) ? kMarks.at(unit) : "\""},
                        {"dbuPerUnit", host::DbuPerNotationUnit(u)},
                        {"fractions", u.scaledUnits != HSI_SCALED_DECIMALS},
                        {"denominator", u.denominator},
                        {"precision", u.precision}};
    }
    state["layers"] = layers;
    std::vector<std::pair<uint32_t, std::string>> forms;
    for (platform::Form* form : platform::ShownForms()) {
      json model = FormModel(*form, pictures_);
      model["waiting"] = form == question.form;
      forms.emplace_back(form->Handle(), PageJson(std::move(model)));
    }

    // What the person noticed since the last state: boxes with only OK, help, beeps.
    const auto& transcript = session_.Transcript();
    if (scanned_ > transcript.size()) scanned_ = transcript.size();
    json notices = json::array();
    for (size_t i = scanned_; i < transcript.size(); ++i) {
      std::vector<user::Word> words;
      try {
        words = user::SplitWords(transcript[i]);
      } catch (const std::invalid_argument&) {
        continue;
      }
      if (words.size() == 3 && words[0].text == "message" && words[1].quoted) {
        notices.push_back(
            {{"kind", "message"}, {"caption", words[1].text}, {"text", words[2].text}});
      } else if (words.size() == 3 && words[0].text == "help" && words[1].quoted) {
        notices.push_back({{"kind", "help"}, {"file", words[1].text}, {"topic", words[2].text}});
      } else if (words.size() == 2 && words[0].text == "beep") {
        notices.push_back({{"kind", "beep"}, {"sound", words[1].text}});
      }
    }
    scanned_ = transcript.size();
    state["notices"] = notices;
    size_t from = transcript.size() > 400 ? transcript.size() - 400 : 0;
    std::string tail;
    for (size_t i = from; i < transcript.size(); ++i) tail += transcript[i] + "\n";
    state["transcript"] = tail;
    state["failure"] = failure_;
    std::string played = session_.PlayedText();
    state["sessionLength"] = played.size();
    state["kept"] = kept_.string();
    Keep(played);
    hub_.Publish(PageJson(std::move(state)), h, std::move(played), std::move(forms));
  }

  // Writes the session played so far to the machine folder when it changed: to a new file first,
  // then in place of the old one, so that the file is always a whole session.
  void Keep(const std::string& played) {
    if (kept_.empty() || played == keptText_) return;
    const fs::path next = kept_.string() + ".new";
    {
      std::ofstream out(next, std::ios::binary | std::ios::trunc);
      out << kKeptHeader << played;
      if (!out.flush()) {
        std::cerr << "tracelon: cannot keep the session in " << kept_.string() << "\n";
        return;
      }
    }
    std::error_code ec;
    fs::rename(next, kept_, ec);
    if (ec) {
      std::cerr << "tracelon: cannot keep the session in " << kept_.string() << ": " << ec.message()
                << "\n";
      return;
    }
    keptText_ = played;
  }

  Hub& hub_;
  user::Session& session_;
  PictureStore& pictures_;
  fs::path kept_;
  std::string keptText_;
  std::shared_ptr<Request> current_;
  std::deque<std::string> queue_;
  std::string last_;
  bool inBlock_ = false;
  size_t scanned_ = 0;
  std::string failure_;
};

// The program: the host on the machine, the plug-in loaded, the session played from the page.
void RunProgram(const ServeOptions& options, user::Script script, Hub& hub, PictureStore& pictures,
                std::atomic<int>& status) {
  user::Session session(std::move(script));
  session.SetEcho([&](const std::string& line) {
    if (!options.quiet) std::cout << line << std::endl;
  });
  PageSource source(hub, session, pictures, options.root / kKeptSessionName);
  session.SetLineSource(std::ref(source));

  StartHost(options.root);
  session.Attach();
  PluginLibrary plugin;
  std::string failure;
  const bool loaded = plugin.Open(options.plugin, failure);
  user::SymbolExports exports([&](const std::string& name) { return plugin.Find(name); });
  if (loaded) {
    session.SetExports(&exports);
    if (std::optional<std::string> played = PlayWithPlugin(plugin, session)) failure = *played;
  }
  session.SetExports(nullptr);
  source.PublishEnd(failure);
  const host::Host* h = host::Host::Current();
  std::string finalDxf, dxfError;
  if (!DrawingDxf(&finalDxf, &dxfError)) finalDxf.clear();
  hub.MarkEnded(h ? h->ToJson() : "{}", std::move(finalDxf));
  session.Detach();
  StopHost();
  plugin.Close();
  if (!failure.empty()) {
    std::cerr << "tracelon: " << failure << "\n";
    status = 1;
  }
}

std::string TokenOf(const httplib::Request& request) {
  if (request.has_header("X-Drafter")) return request.get_header_value("X-Drafter");
  if (request.has_param("token")) return request.get_param_value("token");
  return "";
}

// A large answer goes out gzipped at the fastest level when the page takes gzip: megabytes of
// drawing compress in milliseconds so, where the library's own choice (Brotli) takes seconds.
// It goes as bytes (a type the library does not compress again); the page reads them as text.
constexpr size_t kCompressFrom = 16 << 10;
void SendText(const httplib::Request& request, httplib::Response& response, const std::string& text,
              const char* type) {
  response.set_header("Cache-Control", "no-store");
  const std::string accepts = request.get_header_value("Accept-Encoding");
#if !defined(_WIN32)
  if (text.size() >= kCompressFrom && accepts.find("gzip") != std::string::npos) {
    std::string packed;
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) == Z_OK) {
      packed.resize(deflateBound(&z, text.size()));
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
      z.avail_in = static_cast<uInt>(text.size());
      z.next_out = reinterpret_cast<Bytef*>(packed.data());
      z.avail_out = static_cast<uInt>(packed.size());
      const bool done = deflate(&z, Z_FINISH) == Z_STREAM_END;
      packed.resize(z.total_out);
      deflateEnd(&z);
      if (done) {
        response.set_header("Content-Encoding", "gzip");
        response.set_header("Vary", "Accept-Encoding");
        response.set_content(packed, "application/octet-stream");
        return;
      }
    }
  }
#else
  (void)accepts;
#endif
  response.set_content(text, type);
}

void SendJson(httplib::Response& response, const json& body, int status = 200) {
  response.status = status;
  response.set_header("Cache-Control", "no-store");
  response.set_content(PageJson(body), "application/json");
}

// A folder of the machine for the file dialogs: the Windows path must lie on the machine's own
// drives; nothing outside the machine folder is listed.
json ListFolder(const fs::path& root, const std::string& windowsPath) {
  // Only a full path (a drive and a backslash): a relative one would depend on the program's
  // current folder, which belongs to the program's thread.
  bool full = windowsPath.size() >= 3 && std::isalpha(static_cast<unsigned char>(windowsPath[0])) &&
              windowsPath[1] == ':' && windowsPath[2] == '\\';
  if (!full) return {{"error", "a folder is named with its drive: C:\\..."}};
  fs::path folder = platform::ResolvePath(windowsPath);
  std::error_code ec;
  fs::path canonicalRoot = fs::weakly_canonical(root, ec);
  fs::path canonical = fs::weakly_canonical(folder, ec);
  auto rel = canonical.lexically_relative(canonicalRoot);
  if (ec || rel.empty() || *rel.begin() == "..") {
    return {{"error", "the folder is not on this machine"}};
  }
  json entries = json::array();
  for (const auto& e : fs::directory_iterator(canonical, ec)) {
    entries.push_back({{"name", e.path().filename().string()}, {"folder", e.is_directory()}});
  }
  if (ec) return {{"error", "cannot read the folder " + windowsPath}};
  std::sort(entries.begin(), entries.end(), [](const json& a, const json& b) {
    if (a["folder"] != b["folder"]) return a["folder"].get<bool>();
    return a["name"].get<std::string>() < b["name"].get<std::string>();
  });
  return {{"dir", windowsPath}, {"entries", entries}};
}

#if defined(_WIN32)
// The hub that Ctrl+C (or Ctrl+Break, or closing the console) stops: the system calls the handler
// on a thread of its own, so the program ends in order as it does on an interrupt elsewhere.
std::atomic<Hub*> consoleHub{nullptr};

BOOL WINAPI OnConsoleControl(DWORD) {
  Hub* hub = consoleHub.load();
  if (!hub) return FALSE;
  hub->Quit();
  return TRUE;
}
#endif

}  // namespace

int Serve(const ServeOptions& options) {
  // A saved session to resume is read first: one that cannot be read stops here.
  user::Script resumed;
  if (!options.session.empty()) {
    try {
      resumed = user::Script::Load(options.session);
    } catch (const std::exception& e) {
      std::cerr << "tracelon: " << e.what() << "\n";
      return 1;
    }
  }

#if !defined(_WIN32)
  // Signals are taken by one thread of their own, so that an interrupt ends the program in order.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGUSR1);  // the program's own: it has ended
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
#endif

  Hub hub;
  PictureStore pictures;
  httplib::Server server;
  // The library's default lets another program bind the same port (SO_REUSEPORT): a port in use
  // must fail instead, so that nothing else answers for this page.
  server.set_socket_options([](socket_t sock) {
    int yes = 1;
#if defined(_WIN32)
    // There SO_REUSEADDR would let this program take a port another one listens on.
    setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
               sizeof yes);
#else
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
#endif
  });
  int port = options.port;
  const std::string address = "127.0.0.1";
  if (port == 0) {
    port = server.bind_to_any_port(address);
  } else if (!server.bind_to_port(address, port)) {
    port = -1;
  }
  if (port <= 0) {
    std::cerr << "tracelon: cannot listen on " << address << ":" << options.port << "\n";
    return 1;
  }
  const std::string portText = std::to_string(port);

  const json busy = {
      {"error", "busy"},
      {"message",
       "The program is busy: another page is drafting with it. One drafter at a time: close that "
       "page, or wait until it has been gone for half a minute, then reload this one."}};
  // Only pages that this machine's own address serves: a page of another site that names the
  // loopback address under another host name is refused, and so are posts that are not JSON.
  server.set_pre_routing_handler([&](const httplib::Request& request, httplib::Response& response) {
    std::string host = request.get_header_value("Host");
    if (host != "127.0.0.1:" + portText && host != "localhost:" + portText) {
      response.status = 403;
      response.set_content("this program serves only its own page on this machine", "text/plain");
      return httplib::Server::HandlerResponse::Handled;
    }
    // A browser names the page a request comes from: only this program's own page may ask.
    if (request.has_header("Origin")) {
      std::string origin = request.get_header_value("Origin");
      if (origin != "http://127.0.0.1:" + portText && origin != "http://localhost:" + portText) {
        response.status = 403;
        response.set_content("this program takes requests only from its own page", "text/plain");
        return httplib::Server::HandlerResponse::Handled;
      }
    }
    if (request.method == "POST" &&
        request.get_header_value("Content-Type").rfind("application/json", 0) != 0) {
      response.status = 415;
      response.set_content("requests are JSON", "text/plain");
      return httplib::Server::HandlerResponse::Handled;
    }
    // The drafter's token is checked before a body is read: a page that is not drafting cannot
    // make the program take in anything (joining has no body worth the name).
    if (request.method == "POST" && request.path != "/api/join" &&
        !hub.IsDrafter(TokenOf(request))) {
      SendJson(response, busy, 409);
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server.set_payload_max_length(kBodyLimit);

  for (const WebFile& file : WebFiles()) {
    std::string path = file.path == "index.html" ? "/" : "/" + file.path;
    server.Get(path, [file](const httplib::Request&, httplib::Response& response) {
      response.set_header("Cache-Control", "no-store");
      response.set_content(file.content, file.type);
    });
  }

  server.Get("/favicon.ico",
             [](const httplib::Request&, httplib::Response& response) { response.status = 204; });

  auto drafter = [&](const httplib::Request& request, httplib::Response& response) {
    if (hub.IsDrafter(TokenOf(request))) return true;
    SendJson(response, busy, 409);
    return false;
  };

  server.Post("/api/join", [&](const httplib::Request& request, httplib::Response& response) {
    std::string token = TokenOf(request);
    if (hub.IsDrafter(token)) return SendJson(response, {{"token", token}});
    auto joined = hub.Join();
    if (!joined) return SendJson(response, busy, 409);
    SendJson(response, {{"token", *joined}});
  });
  server.Get("/api/state", [&](const httplib::Request& request, httplib::Response& response) {
    if (!drafter(request, response)) return;
    uint64_t after = 0;
    try {
      if (request.has_param("after")) after = std::stoull(request.get_param_value("after"));
    } catch (const std::exception&) {
      after = 0;
    }
    uint64_t svgVersion = 0;
    try {
      if (request.has_param("svg")) svgVersion = std::stoull(request.get_param_value("svg"));
    } catch (const std::exception&) {
      svgVersion = 0;
    }
    std::string state = hub.State(after, svgVersion);
    hub.IsDrafter(TokenOf(request));  // a page that waited is still there
    SendText(request, response, state, "application/json");
  });
  server.Post("/api/line", [&](const httplib::Request& request, httplib::Response& response) {
    if (!drafter(request, response)) return;
    auto r = std::make_shared<Request>();
    try {
      json body = json::parse(request.body);
      r->line = body.at("line").get<std::string>();
      if (body.contains("form")) r->form = body["form"].get<uint32_t>();
    } catch (const std::exception&) {
      return SendJson(response,
                      {{"ok", false}, {"message", "a request names a line: {\"line\": ...}"}}, 400);
    }
    hub.Submit(r);
    SendJson(response,
             {{"ok", r->ok}, {"message", r->message}, {"detail", r->detail}, {"seq", r->seq}});
  });
  server.Get("/api/session", [&](const httplib::Request& request, httplib::Response& response) {
    if (!drafter(request, response)) return;
    std::string text = kKeptHeader + hub.Session();
    response.set_header("Content-Disposition", "attachment; filename=\"drafting.session\"");
    SendText(request, response, text, "text/plain; charset=utf-8");
  });
  server.Get("/api/drawing", [&](const httplib::Request& request, httplib::Response& response) {
    if (!drafter(request, response)) return;
    if (std::optional<std::string> last = hub.FinalDrawing()) {
      return SendText(request, response, *last, "application/json");
    }
    auto r = std::make_shared<Request>();
    r->drawing = true;
    hub.Submit(r);
    if (!r->ok) return SendJson(response, {{"error", r->message}}, 503);
    SendText(request, response, r->message, "application/json");
  });
  server.Get("/api/drawing.dxf", [&](const httplib::Request& request, httplib::Response& response) {
    if (!drafter(request, response)) return;
    std::string dxf;
    if (std::optional<std::string> last = hub.FinalDxf()) {
      dxf = *last;
    } else {
      auto r = std::make_shared<Request>();
      r->drawing = true;
      r->dxf = true;
      hub.Submit(r);
      if (!r->ok && r->detail != "no DXF") return SendJson(response, {{"error", r->message}}, 503);
      if (r->ok) dxf = r->message;
    }
    if (dxf.empty()) {  // a build that cannot write DXF
      response.status = 501;
      return;
    }
    response.set_header("Content-Disposition", "attachment; filename=\"drawing.dxf\"");
    SendText(request, response, dxf, "image/vnd.dxf");
  });
  server.Get(R"(/api/picture/([0-9a-f]+))",
             [&](const httplib::Request& request, httplib::Response& response) {
               auto entry = pictures.Get(request.matches[1]);
               if (!entry) {
                 response.status = 404;
                 return;
               }
               response.set_content(entry->bytes, entry->type.c_str());
             });
  server.Get("/api/files", [&](const httplib::Request& request, httplib::Response& response) {
    if (!drafter(request, response)) return;
    std::string dir = request.has_param("dir") ? request.get_param_value("dir") : "C:\\";
    SendJson(response, ListFolder(options.root, dir));
  });
  server.Post("/api/leave", [&](const httplib::Request& request, httplib::Response& response) {
    hub.Leave(TokenOf(request));
    SendJson(response, {{"ok", true}});
  });
  server.Post("/api/quit", [&](const httplib::Request& request, httplib::Response& response) {
    if (!drafter(request, response)) return;
    hub.Quit();
    SendJson(response, {{"ok", true}});
  });

  std::atomic<int> status{0};
  std::atomic<bool> listening{true};
  // The program's thread keeps the signal mask: signals go to the waiting thread below.
  std::thread program([&] {
    RunProgram(options, std::move(resumed), hub, pictures, status);
    // The server stops once it runs (a program that ended at once may come before it).
    while (listening && !server.is_running())
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    server.stop();
  });
#if defined(_WIN32)
  consoleHub = &hub;
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
#else
  std::thread signalWaiter([&] {
    int signal = 0;
    sigwait(&signals, &signal);
    if (signal == SIGUSR1) return;  // the program ended by itself
    hub.Quit();
  });
#endif

  std::cout << "tracelon serve: the page is at http://127.0.0.1:" << port
            << "/ (machine: " << options.root.string() << "; Ctrl+C stops it)" << std::endl;
  if (!server.listen_after_bind()) hub.Quit();
  listening = false;
  program.join();
#if defined(_WIN32)
  SetConsoleCtrlHandler(OnConsoleControl, FALSE);
  consoleHub = nullptr;
#else
  // The waiter is released by a signal of our own once the program has ended.
  pthread_kill(signalWaiter.native_handle(), SIGUSR1);
  signalWaiter.join();
#endif
  return status;
}
