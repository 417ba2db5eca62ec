// Window registration order, message and draw order, filters, lookup and
// the layout file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/TitleBar.h"
#include "engine/gui/Window.h"
#include "support/GuiTestSupport.h"

using namespace gui_test;

namespace {

// A window that records the messages it was offered and may handle them.
class RecordingWindow : public Window {
 public:
  explicit RecordingWindow(const char* windowName, std::vector<std::string>* log, bool handles = false)
      : record(log), handlesAll(handles) {
    name = windowName;
  }
  void OnMessage(CMSGMessage* message) override {
    record->push_back(name.Chars());
    if (handlesAll) message->handled |= 1;
  }
  std::vector<std::string>* record;
  bool handlesAll;
};

std::string TempDir() {
  char pattern[] = "/tmp/gui_layout_XXXXXX";
  const char* made = mkdtemp(pattern);
  return made != nullptr ? made : "/tmp";
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

TEST(WindowManager, RegistrationSwapsFirstWindowWithFirstHigherLayerOnce) {
  GUIWindowManager* manager = GetWindowManager();
  std::vector<std::string> log;
  auto a = std::make_unique<RecordingWindow>("A", &log);
  auto b = std::make_unique<RecordingWindow>("B", &log);
  b->SetLayer(2.0f);                                      // set after its registration: no swap happened yet
  auto c = std::make_unique<RecordingWindow>("C", &log);  // this registration swaps A and B
  ASSERT_EQ(manager->GetWindowCount(), 3);
  EXPECT_EQ(manager->GetWindowAt(0), b.get());
  EXPECT_EQ(manager->GetWindowAt(1), a.get());
  EXPECT_EQ(manager->GetWindowAt(2), c.get());
  // Indexes are not renumbered by the swap.
  EXPECT_EQ(a->managerIndex, 0);
  EXPECT_EQ(b->managerIndex, 1);
  EXPECT_EQ(manager->FindWindowByIndex(1), b.get());
  EXPECT_EQ(manager->FindWindowByIndex(-1), nullptr);
  // Registration happens in the base constructor, before the derived name.
  EXPECT_TRUE(LogContains(kLogGEM, "New window registered... [2] Window"));
  a.reset();
  EXPECT_EQ(c->managerIndex, 2);
  EXPECT_EQ(manager->FindWindowByIndex(2), c.get());
  EXPECT_TRUE(LogContains(kLogGEM, "Window unregistered... [0] A"));
}

TEST(WindowManager, NumbersAreNeverReusedAfterARemoval) {
  GUIWindowManager* manager = GetWindowManager();
  std::vector<std::string> log;
  auto first = std::make_unique<RecordingWindow>("First", &log);
  auto second = std::make_unique<RecordingWindow>("Second", &log);
  auto third = std::make_unique<RecordingWindow>("Third", &log);
  first.reset();
  auto fourth = std::make_unique<RecordingWindow>("Fourth", &log);
  auto fifth = std::make_unique<RecordingWindow>("Fifth", &log);
  const std::vector<Window*> live = {second.get(), third.get(), fourth.get(), fifth.get()};
  for (size_t i = 0; i < live.size(); ++i) {
    for (size_t j = i + 1; j < live.size(); ++j) EXPECT_NE(live[i]->managerIndex, live[j]->managerIndex);
    EXPECT_EQ(manager->FindWindowByIndex(live[i]->managerIndex), live[i]) << live[i]->name.Chars();
  }
  EXPECT_EQ(fifth->managerIndex, fourth->managerIndex + 1) << "counted in registration order";
}

TEST(WindowManager, MessagesGoLastToFirstUntilHandled) {
  std::vector<std::string> log;
  RecordingWindow first("First", &log);
  RecordingWindow second("Second", &log, true);
  RecordingWindow third("Third", &log);
  EXPECT_TRUE(Deliver(GetWindowManager(), eMSG_UIOKEYDOWN, 1));
  EXPECT_EQ(log, (std::vector<std::string>{"Third", "Second"}));
}

TEST(WindowManager, LayerFilterExactOrAtMost) {
  GUIWindowManager* manager = GetWindowManager();
  struct Case {
    bool exact;
    float filter;
    float layer;
    bool drawn;
  } cases[] = {
      {true, 10.0f, 10.0f, true}, {true, 10.0f, 9.0f, false},  {true, 10.0f, 11.0f, false},
      {false, 10.0f, 9.0f, true}, {false, 10.0f, 10.0f, true}, {false, 10.0f, 10.5f, false},
      {false, 0.0f, 0.0f, true},
  };
  for (const Case& c : cases) {
    manager->SetLayerFilter(c.exact, c.filter);
    EXPECT_EQ(manager->PassesLayerFilter(c.layer), c.drawn) << c.exact << " " << c.filter << " " << c.layer;
  }
  EXPECT_FLOAT_EQ(manager->GetLayerFilter(), 0.0f);
}

TEST(WindowManager, FindAndRequestWindowsByName) {
  GUIWindowManager* manager = GetWindowManager();
  std::vector<std::string> log;
  RecordingWindow early("Twin", &log);
  RecordingWindow late("Twin", &log);
  EXPECT_EQ(manager->FindWindow("Twin"), &late);
  EXPECT_EQ(manager->FindWindow("Twi"), nullptr);
  ClearLogLines(kLogGEM);
  EXPECT_EQ(manager->RequestWindow(""), nullptr);
  EXPECT_TRUE(LogLinesOf(kLogGEM).empty());
  EXPECT_EQ(manager->RequestWindow("Twin"), &late);
  EXPECT_TRUE(LogContains(kLogGEM, "Acquired existing window."));
  std::unique_ptr<Window> made(manager->RequestWindow("Fresh"));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(manager->FindWindow("Fresh"), made.get());
  EXPECT_TRUE(LogContains(kLogGEM, "Window requested : Fresh"));
}

TEST(WindowManager, LayoutFileIsByteExactAndRestoresByName) {
  const std::string dir = TempDir();
  const std::string path = dir + "/GUI.TXT";
  std::vector<std::string> log;
  auto console = std::make_unique<RecordingWindow>("Console", &log);
  auto browser = std::make_unique<RecordingWindow>("Browser", &log);
  console->Layout(MakeRect(10, 20, 300, 200), MakeRect(10, 20, 300, 200));
  browser->Layout(MakeRect(0.5f, 100, 640, 480.25f), MakeRect(0.5f, 100, 640, 480.25f));
  ASSERT_TRUE(GetWindowManager()->WriteLayout(path.c_str()));
  EXPECT_EQ(ReadAll(path),
            "[GUI]\n[NWINDOWS]2\n[WINDOW]Browser\n[0.5,100][640,480.25]\n"
            "[WINDOW]Console\n[10,20][300,200]\n[END]");

  // Other windows, registered in the other order, read the places back.
  browser.reset();
  console.reset();
  auto console2 = std::make_unique<RecordingWindow>("Console", &log);
  auto browser2 = std::make_unique<RecordingWindow>("Browser", &log);
  EXPECT_TRUE(GetWindowManager()->ReadLayout(path.c_str()));
  EXPECT_FLOAT_EQ(console2->outer.min.x, 10);
  EXPECT_FLOAT_EQ(console2->outer.max.y, 220);
  EXPECT_FLOAT_EQ(browser2->outer.min.x, 0.5f);
  EXPECT_FLOAT_EQ(browser2->outer.GetSize().y, 480.25f);
  std::remove(path.c_str());
  rmdir(dir.c_str());
}

// The layout written at quit keeps the places the file has for windows this
// run did not make (or not yet), in the file's order; a made window's own
// place wins, and the windows the file did not know follow.
TEST(WindowManager, WritingTheLayoutKeepsTheSavedPlacesOfWindowsNotMade) {
  const std::string dir = TempDir();
  const std::string path = dir + "/GUI.TXT";
  const char* savedAB = "[GUI]\n[NWINDOWS]2\n[WINDOW]A\n[1,2][3,4]\n[WINDOW]B\n[5,6][7,8]\n[END]";
  struct Case {
    const char* saved;  // null: no file
    std::vector<const char*> made;
    const char* written;
  } cases[] = {
      {savedAB, {"A"}, "[GUI]\n[NWINDOWS]2\n[WINDOW]A\n[10,20][30,40]\n[WINDOW]B\n[5,6][7,8]\n[END]"},
      {savedAB,
       {"B", "C"},
       "[GUI]\n[NWINDOWS]3\n[WINDOW]A\n[1,2][3,4]\n[WINDOW]B\n[10,20][30,40]\n[WINDOW]C\n[10,20][30,40]\n[END]"},
      {savedAB, {}, savedAB},
      // One window of a name saved twice: its own place only.
      {"[GUI]\n[NWINDOWS]3\n[WINDOW]A\n[1,2][3,4]\n[WINDOW]B\n[5,6][7,8]\n[WINDOW]A\n[9,9][9,9]\n[END]",
       {"A"},
       "[GUI]\n[NWINDOWS]2\n[WINDOW]A\n[10,20][30,40]\n[WINDOW]B\n[5,6][7,8]\n[END]"},
      // A file cut short keeps the entries before the cut; one that is no
      // layout keeps nothing.
      {"[GUI]\n[NWINDOWS]2\n[WINDOW]B\n[5,6][7,8]\n",
       {"A"},
       "[GUI]\n[NWINDOWS]2\n[WINDOW]B\n[5,6][7,8]\n[WINDOW]A\n[10,20][30,40]\n[END]"},
      {"[GIU]\n[NWINDOWS]1\n[WINDOW]B\n[5,6][7,8]\n[END]",
       {"A"},
       "[GUI]\n[NWINDOWS]1\n[WINDOW]A\n[10,20][30,40]\n[END]"},
      {nullptr, {"A", "C"}, "[GUI]\n[NWINDOWS]2\n[WINDOW]C\n[10,20][30,40]\n[WINDOW]A\n[10,20][30,40]\n[END]"},
  };
  for (const Case& c : cases) {
    std::remove(path.c_str());
    if (c.saved != nullptr) std::ofstream(path, std::ios::binary) << c.saved;
    std::vector<std::string> log;
    std::vector<std::unique_ptr<RecordingWindow>> made;
    for (const char* name : c.made) {
      made.push_back(std::make_unique<RecordingWindow>(name, &log));
      made.back()->Layout(MakeRect(10, 20, 30, 40), MakeRect(10, 20, 30, 40));
    }
    ASSERT_TRUE(GetWindowManager()->WriteLayout(path.c_str()));
    EXPECT_EQ(ReadAll(path), c.written) << (c.saved != nullptr ? c.saved : "no file");
  }
  std::remove(path.c_str());
  rmdir(dir.c_str());
}

TEST(WindowManager, LayoutReadSurvivesDamagedFiles) {
  const std::string dir = TempDir();
  const std::string path = dir + "/GUI.TXT";
  std::vector<std::string> log;
  RecordingWindow known("Known", &log);
  known.Layout(MakeRect(1, 2, 3, 4), MakeRect(1, 2, 3, 4));
  struct Case {
    const char* bytes;
    bool ok;
  } cases[] = {
      {"", false},
      {"[GIU]\n[NWINDOWS]1\n", false},
      {"[GUI]\n[NWINDOWS]99999999\n[WINDOW]Known\n", false},
      {"[GUI]\n[NWINDOWS]1\n[WINDOW]Ghost\n[5,5][5,5]\n[END]", true},  // unknown name skipped
      {"[GUI]\n[NWINDOWS]-3\n[END]", true},
      {"[GUI]\n[NWINDOWS]1\n[WIN\n[9,9][9,9]\n[END]", true},  // name shorter than its tag
      {"[GUI]\n[NWINDOWS]1\n[WINDOW]Known\n[garbage]\n[END]", true},
      {"[GUI]\n[NWINDOWS]1\n[WINDOW]Known\n[7,8][9,10]\n", false},  // no [END]
  };
  for (const Case& c : cases) {
    std::ofstream(path, std::ios::binary) << c.bytes;
    EXPECT_EQ(GetWindowManager()->ReadLayout(path.c_str()), c.ok) << c.bytes;
  }
  // Only the last case named a known window with a valid place.
  EXPECT_FLOAT_EQ(known.outer.min.x, 7);

  // Places that are not numbers are refused; places far off the screen are
  // brought back to one screen's margin around it.
  for (const char* place : {"[inf,0][10,10]", "[0,0][nan,10]", "[0,-inf][10,10]"}) {
    std::ofstream(path, std::ios::binary) << "[GUI]\n[NWINDOWS]1\n[WINDOW]Known\n" << place << "\n[END]";
    EXPECT_FALSE(GetWindowManager()->ReadLayout(path.c_str())) << place;
    EXPECT_FLOAT_EQ(known.outer.min.x, 7) << place;
  }
  EXPECT_TRUE(LogContains(kLogGEM, "GUI layout : no usable place for window Known"));
  std::ofstream(path, std::ios::binary) << "[GUI]\n[NWINDOWS]1\n[WINDOW]Known\n[-1e30,2e9][1e30,2148364848]\n[END]";
  EXPECT_TRUE(GetWindowManager()->ReadLayout(path.c_str()));
  EXPECT_FLOAT_EQ(known.outer.min.x, -800);
  EXPECT_FLOAT_EQ(known.outer.min.y, 1200);
  EXPECT_FLOAT_EQ(known.outer.GetSize().x, 2400);
  EXPECT_FLOAT_EQ(known.outer.GetSize().y, 1800);
  EXPECT_FALSE(GetWindowManager()->ReadLayout((dir + "/missing.txt").c_str()));
  std::remove(path.c_str());
  rmdir(dir.c_str());
}

TEST(WindowManager, UnwritableLayoutIsSkippedAndLogged) {
  const std::string dir = TempDir();
  std::vector<std::string> log;
  RecordingWindow window("W", &log);
  const std::string path = dir + "/no/such/folder/GUI.TXT";
  EXPECT_FALSE(GetWindowManager()->WriteLayout(path.c_str()));
  EXPECT_TRUE(LogContains(kLogDBG, "Could not write the GUI layout : " + path + " : No such file or directory"));
  rmdir(dir.c_str());
}

TEST(WindowManager, AnUnreadableLayoutIsAWarningAndNeverWaitedOn) {
  const std::string dir = TempDir();
  const std::string folder = dir + "/GUI.TXT";
  const std::string fifo = dir + "/FIFO.TXT";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_FALSE(GetWindowManager()->ReadLayout(folder.c_str()));
  EXPECT_TRUE(LogContains(kLogDBG, "GUI file " + folder + " cannot be read : Is a directory"));
  EXPECT_FALSE(GetWindowManager()->ReadLayout(fifo.c_str()));
  EXPECT_TRUE(LogContains(kLogDBG, "GUI file " + fifo + " cannot be read : not a regular file"));
  // Nor is such a layout written over at quit (nor waited on for the places it keeps).
  for (const std::string& path : {folder, fifo}) {
    EXPECT_FALSE(GetWindowManager()->WriteLayout(path.c_str())) << path;
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0) << path;
    EXPECT_FALSE(S_ISREG(info.st_mode)) << path;
  }
  rmdir(folder.c_str());
  std::remove(fifo.c_str());
  rmdir(dir.c_str());
}

TEST(WindowManager, DefinitionFileReadsNewWindowsAndSkipsKnownOnes) {
  const std::string dir = TempDir();
  const std::string path = dir + "/Def.txt";
  std::vector<std::string> log;
  RecordingWindow existing("Existing", &log);
  existing.SetLayer(1.0f);  // no longer at its defaults
  std::ofstream(path) << "[GUI]\nEditor\n  Editor Main \n{\n[LAYER] 3\n[TITLEBAR]\n}\n"
                         "Existing\nRenamed\n{\n[TITLEBAR] Nope\n}\n[END]\n";
  EXPECT_TRUE(GetWindowManager()->LoadGUIDefinition(path.c_str()));
  Window* editor = GetWindowManager()->FindWindow("Editor Main");
  ASSERT_NE(editor, nullptr);
  ASSERT_NE(editor->GetTitleBar(), nullptr);
  EXPECT_EQ(std::string(editor->GetTitleBar()->GetNameString().Chars()), "Editor MainTitleBar");
  EXPECT_EQ(existing.GetTitleBar(), nullptr);
  EXPECT_EQ(std::string(existing.name.Chars()), "Existing");
  delete editor;

  std::ofstream(path) << "[NOTGUI]\n";
  EXPECT_FALSE(GetWindowManager()->LoadGUIDefinition(path.c_str()));
  std::remove(path.c_str());
  rmdir(dir.c_str());
}

TEST(WindowManager, WindowDestroyedDuringDeliveryIsSkipped) {
  std::vector<std::string> log;
  auto victim = std::make_unique<RecordingWindow>("Victim", &log);
  // The later window is offered the message first and destroys the earlier one.
  class Destroyer : public Window {
   public:
    explicit Destroyer(std::unique_ptr<RecordingWindow>* target) : target(target) {}
    void OnMessage(CMSGMessage*) override { target->reset(); }
    std::unique_ptr<RecordingWindow>* target;
  } destroyer(&victim);
  Deliver(GetWindowManager(), eMSG_UIOKEYDOWN, 1);
  EXPECT_EQ(victim, nullptr);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(GetWindowManager()->GetWindowCount(), 1);
}
