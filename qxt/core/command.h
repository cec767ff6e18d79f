// What every command shares: the one-tool-at-a-time interlock, the 2D-mode check, and handing a
// chosen variant back to the host as one of its own numbered commands.
#pragma once

#include <cstdint>
#include <map>

namespace platform {
class Form;
}

namespace qxt {

// An interactive tool that takes part in the interlock: its code in RunningTool, its title as
// announced to the host, and the refusal shown when another such tool already runs.
struct InterlockedTool {
  std::int32_t code;
  const char* title;
  const char* refusal;
};

inline constexpr InterlockedTool kTextTool{
    3, "QX Text", "You cannot run QX Text when another QX Tool is already running."};
inline constexpr InterlockedTool kLeaderTool{
    3, "QX Leader", "You cannot run QX Leader when another QX Tool is already running."};
inline constexpr InterlockedTool kSymbolTool{
    4, "QX Symbol", "You cannot run QX Symbol when another QX Tool is already running."};
inline constexpr InterlockedTool kDimensionTool{
    9, "QX Dimension", "You cannot run QX Dimension when another QX Tool is already running."};
inline constexpr InterlockedTool kDoorTool{
    10, "QX Door", "You cannot run QX Door when another QX Tool is already running."};
inline constexpr InterlockedTool kReferenceTool{
    15, "QX Reference", "You cannot run QX Reference when another QX Tool is already running."};
inline constexpr InterlockedTool kAreaTool{
    28, "QX Area", "You cannot run QX Area when another QX Tool is already running."};

// The start and every end of an interlocked command, as one object on the command's stack:
//
//   ToolRun run(kTextTool);
//   if (!run.Started()) return;
//   ... the command; any way out ends the run ...
//
// The constructor performs the entry check, refuses (with the tool's message as an error box)
// when any interlocked tool already runs, and otherwise sets RunningTool to the tool's code and,
// unless told to wait, announces the tool's title to the host. The destructor of a started run
// updates the host's status line and sets RunningTool back to 0, however the command ends.
class ToolRun {
 public:
  enum class Announce { Now, Later };
  explicit ToolRun(const InterlockedTool& tool, Announce announce = Announce::Now);
  ~ToolRun();
  ToolRun(const ToolRun&) = delete;
  ToolRun& operator=(const ToolRun&) = delete;

  bool Started() const { return started_; }
  // Announces the tool's title to the host (for a command that announces itself later).
  void AnnounceTool() const;

 private:
  const InterlockedTool& tool_;
  bool started_ = false;
};

// Switches tool-tip hints on with a pause of 1500 ms, as every dialog command does before showing
// its dialog.
void SwitchHintsOn();

// Announces a command to the host with its title (HsiCustomCallback(title, 0)).
void AnnounceCommand(const char* title);

// The 2D-mode check: true when the host is in 2D mode; otherwise shows "This command works in 2D
// mode only." as an error box and returns false.
bool RequireMode2D();

// Starts one of the host's own numbered commands, passing the two library-wide variables.
void StartHostCommand(std::int32_t command);
// The same through the host's nested command entry.
void StartNestedHostCommand(std::int32_t command);

// Shows a palette modally and starts the host command its modal result maps to. A modal result
// without a mapping (Cancel), or the palette closed without pressing a button (whatever result
// the system gives it then), starts nothing. Returns the modal result.
int RunPalette(platform::Form& palette, const std::map<int, std::int32_t>& hostCommands);

}  // namespace qxt
