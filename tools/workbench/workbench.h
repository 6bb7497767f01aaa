// The author's workbench: every animation and move of the character, frame
// by frame, drawn by the game's own fighter over the real stage, with the
// collision box, damage box, anchor and particle spawn points outlined, a
// second standing fighter to aim at, and the data reloaded when a file
// under the data folder changes.
//
// The window is driven through SDL's event queue (the game's own input
// path) and the game's clock seam, so a test runs it headless: push key
// events, call runPass, read what the screen and the caption show.
#pragma once

#include "characterSnapshot.h"
#include "dataReport.h"
#include "fileWatcher.h"

#include "fighter/fighter.h"
#include "particle/particleList.h"

#include <SDL.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

class workbench {
  public:
    // Colours of the overlays (0xRRGGBB).
    static constexpr Uint32 bodyColour = 0xFFCC00;   // collision box, as the game's debug view
    static constexpr Uint32 damageColour = 0xFF0000; // damage box
    static constexpr Uint32 anchorColour = 0x00A0FF; // anchor cross
    static constexpr Uint32 spawnColour = 0x40FF60;  // particle spawn points
    // How often the data folder is polled for changes, in milliseconds.
    static constexpr Uint32 pollInterval = 500;
    // The game's fighters play every frame three times as long as its pause.
    static constexpr float fighterSpeed = 3.0f;
    // How high air moves, the air animation and the airborne opponent are
    // shown: the top of a jump from the ground (strength 16: 16 + 15 + ... + 1).
    static constexpr int airLift = 136;
    // The timeline strip's colours: frames that can hurt, frames that spawn
    // particles, the others, and the frame shown.
    static constexpr Uint32 activeColour = 0xD03030;
    static constexpr Uint32 spawnFrameColour = 0x30A050;
    static constexpr Uint32 idleColour = 0x606070;
    static constexpr Uint32 currentColour = 0xFFFFFF;

    // Every key, one per line, as --help prints them.
    static const char* keyList();

    // Messages for the author (the checker's findings, reload results,
    // screenshot paths) go to `terminal`.
    workbench(const std::string& dataFolder, SDL_Surface* screen, std::ostream& terminal);
    workbench(const workbench&) = delete;
    workbench& operator=(const workbench&) = delete;

    // The first load; shows the animation or move of that name, or the
    // first animation when the name is empty or unknown.
    void start(const std::string& name = "");

    // One pass of the window: every waiting event, time (play, polling for
    // changed files), drawing and the caption.  False once the author quit.
    bool runPass();
    bool pollEvents();
    void handleKey(const SDL_keysym& key);
    void update();
    void render();

    // Looks for changed files now and reloads when there are any.
    void checkForChanges();
    // Runs the checker, prints its findings and loads the data into a fresh
    // snapshot, which replaces the shown one only when the load went
    // through and the changes since the shown state brought no new error
    // into the changed files (forced: whatever the checker says).  The
    // shown animation or move and its frame stay.
    void reload(const std::vector<std::string>& changed, bool forced);
    // Writes the screen as a BMP named after the animation or move and the
    // frame into the screenshot folder; the path, or "" when it failed.
    std::string screenshot();
    void setScreenshotFolder(const std::string& folder) { shotFolder_ = folder; }

    // What is shown.
    bool loaded() const { return snapshot_ != nullptr; }
    int entryCount() const { return static_cast<int>(entries_.size()); }
    int entryIndex() const { return index_; }
    std::string entryName() const;
    bool entryIsMove() const;
    int frame() const { return shown_.frame; }
    int frameCount() const;
    bool facingRight() const { return shown_.facingRight; }
    bool playing() const { return playing_; }
    bool opponentShown() const { return opponentShown_; }
    int distance() const { return distance_; }
    int errorCount() const { return errors_; }
    // The checker's verdict at the last load or reload, as printed.
    const dataReport& lastReport() const { return lastReport_; }
    bool onionShown() const { return onion_; }
    // 1, 2, 4 or 8: slow motion plays frames that many times slower.
    int slowdown() const { return 1 << slow_; }
    // "standing", "duck" or "inAir".
    const std::string& opponentStance() const { return opponent_.actionName; }
    bool particlePreview() const { return preview_; }
    int previewParticles() const { return previewList_ ? previewList_->size() : 0; }
    const particleList* previewList() const { return previewList_.get(); }
    // Where the timeline strip is drawn (its top and height on the screen).
    int timelineTop() const;
    static constexpr int timelineHeight = 14;
    const std::string& status() const { return status_; }
    const Fighter& fighter() const { return shown_; }
    const Fighter& opponent() const { return opponent_; }
    // The lines of text at the top of the window, and the caption (the
    // same facts on one line).
    std::vector<std::string> infoLines() const;
    std::string caption() const;

  private:
    struct entry {
        bool isMove = false;
        std::string name;
        CSpriteBase* frames = nullptr;  // in the snapshot
        const moveInfo* move = nullptr; // moves only
    };

    void swapIn(std::unique_ptr<characterSnapshot> fresh);
    // The keys that go through the animations, moves and frames; those that
    // change the view; those that move the opponent.  False: not one of them.
    bool browseKey(SDLKey key);
    bool viewKey(SDLKey key);
    bool opponentKey(SDLKey key);
    // infoLines' parts: the frame's facts, the move's, and the opponent's.
    void addFrameLines(std::vector<std::string>& lines, const entry& e) const;
    void addMoveLines(std::vector<std::string>& lines, const entry& e) const;
    std::string opponentLine() const;
    void show(int index, int frameIndex);
    void placeFighters();
    void moveOpponent(int by);
    void step(int by);
    void setPlaying(bool on);
    void drawParticles();
    void drawOverlays();
    void drawText();
    void drawTimeline();
    void drawOnion();
    void runPreview();
    void placeOpponent();
    bool shownInAir() const;
    const spriteFrame* shownFrame() const;
    const entry* current() const;
    bool damageReaches() const;
    void say(const std::string& message, bool problem);

    std::string dataFolder_;
    SDL_Surface* screen_;
    std::ostream& terminal_;
    std::unique_ptr<characterSnapshot> snapshot_;
    std::vector<entry> entries_;
    int index_ = 0;
    Fighter shown_;
    Fighter opponent_;
    bool playing_ = true;
    bool opponentShown_ = true;
    bool boxesShown_ = true;
    bool quit_ = false;
    int distance_ = 150; // anchor to anchor, pixels
    fileWatcher watcher_;
    Uint32 lastPoll_ = 0;
    int errors_ = 0;
    dataReport shownReport_;           // the checker's verdict on the shown state
    dataReport lastReport_;            // its verdict at the last check
    std::vector<std::string> pending_; // files changed since the shown state loaded
    std::string status_;
    bool statusIsProblem_ = false;
    std::string shotFolder_ = ".";
    std::string shownCaption_;
    bool onion_ = false;
    int slow_ = 0;        // slow motion: frames play 2^slow_ times slower
    int stance_ = 0;      // the opponent: 0 standing, 1 ducking, 2 in the air
    bool preview_ = true; // particles the shown frames spawn fly
    std::unique_ptr<particleList> previewList_;
    int previewFrame_ = -1; // the frame that last spawned, -1: none yet
    Uint32 previewStep_ = 0;
};
