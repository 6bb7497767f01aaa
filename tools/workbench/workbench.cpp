#include "workbench.h"

#include "base/bitmapFont.h"
#include "cornerRule.h"
#include "dataReport.h"
#include "frameData.h"
#include "moveTable.h"
#include "overlayPainter.h"
#include "particle/particle.h"
#include "stopGuard.h"

#include "base/seams.h"
#include "base/textFile.h"
#include "particle/SquareCollider.h"

#include <algorithm>
#include <cctype>
#include <exception>

namespace {

constexpr Uint32 panelColour = 0x14141C;
constexpr Uint32 textColour = 0xE6E6E6;
constexpr Uint32 problemColour = 0xFF7050;
constexpr Uint32 emptyStage = 0x303038;
constexpr int panelLines = 7;
constexpr int margin = 4;
constexpr int stageWidth = 800;
constexpr int largestDistance = 790;

// The key bar at the bottom, two lines (--help says more).
const char* const keyHelp[] = {
    "Up/Down next  Tab anims/moves  Left/Right step  Space play  M slow motion  K onion skin",
    "F facing  O opponent  P its stance  -+[] distance  V particles  B boxes  S shot  R reload  "
    "Esc quit"};

std::string point(int x, int y) {
    return std::to_string(x) + "," + std::to_string(y);
}

std::string box(int x1, int y1, int x2, int y2) {
    return point(x1, y1) + " - " + point(x2, y2);
}

// A move's frame data on one line, in ms.
std::string timingLine(const moveTiming& t) {
    std::string out = "frame data: ";
    if (t.hurts)
        out += "startup " + std::to_string(t.startup) + "  active " + std::to_string(t.active) +
               "  recovery " + std::to_string(t.recovery) + "  total " + std::to_string(t.total) +
               " ms  damage " + std::to_string(t.damage) + "  on hit " +
               frameData::signedMs(t.onHit) + "  on block " + frameData::signedMs(t.onBlock);
    else if (!t.thrown.empty())
        out += "throws " + t.thrown + " at " + std::to_string(t.throwAt) + " ms  total " +
               std::to_string(t.total) + " ms";
    else
        out += "never hurts  total " + std::to_string(t.total) + " ms";
    if (t.windowFrom >= 0)
        out += "  window " + std::to_string(t.windowFrom) + "-" + std::to_string(t.windowTo) +
               " ms of " + t.follows;
    return out;
}

// A file name made of the letters of an animation or move name.
std::string fileSafe(const std::string& name) {
    std::string out;
    for (char c : name)
        out += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') ? c : '_';
    return out.empty() ? "unnamed" : out;
}

} // namespace

const char* workbench::keyList() {
    return "keys:\n"
           "  Up, Down (PageUp, PageDown)  previous, next animation or move\n"
           "  Tab                          to the moves, or back to the animations\n"
           "  Left, Right (comma, period)  step one frame back or forward, and pause\n"
           "  Space                        play or pause at the game's speed\n"
           "  M                            slow motion: 1/2, 1/4, 1/8, then full speed\n"
           "  K                            onion skin: the previous and next frames, faint\n"
           "  F                            turn the fighter round (the mirrored frames)\n"
           "  O                            show or hide the opponent\n"
           "  P                            the opponent stands, ducks or is in the air\n"
           "  - +  (keypad too)            the opponent 10 pixels nearer, further\n"
           "  [ ]                          the opponent 1 pixel nearer, further\n"
           "  V                            particle preview: spawned particles fly, with\n"
           "                               their follow-ups and boxes\n"
           "  B                            show or hide the boxes and the timeline marks\n"
           "  S, F12                       save the window as <name>-<frame>.bmp\n"
           "  R                            reload the data now\n"
           "  Escape, Q                    quit\n";
}

workbench::workbench(const std::string& dataFolder, SDL_Surface* screen, std::ostream& terminal)
    : dataFolder_(dataFolder), screen_(screen), terminal_(terminal), watcher_(dataFolder) {
    while (dataFolder_.size() > 1 && dataFolder_.back() == '/')
        dataFolder_.pop_back();
    for (Fighter* f : {&shown_, &opponent_}) {
        f->screenSurf = screen_;
        f->speed = fighterSpeed;
        f->yPos = g_GroundLevel;
        f->onGround = true;
    }
    shown_.facingRight = true;
}

void workbench::start(const std::string& name) {
    // Changes count from here.
    watcher_ = fileWatcher(dataFolder_);
    lastPoll_ = seams::ticks();
    terminal_ << "workbench: " << dataFolder_ << "/" << characterSnapshot::character << "\n";
    dataReport report = dataReport::check(dataFolder_);
    report.print(terminal_);
    errors_ = report.errors;
    shownReport_ = report;
    lastReport_ = report;
    try {
        stopGuard guard;
        swapIn(characterSnapshot::load(dataFolder_));
    } catch (const loadStopped& stop) {
        say("cannot load the character: " + stop.message, true);
        return;
    } catch (const std::exception& failure) {
        say(std::string("cannot load the character: ") + failure.what(), true);
        return;
    }
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].name == name) {
            show(static_cast<int>(i), 0);
            return;
        }
    if (!name.empty()) say("no animation or move named \"" + name + "\"", true);
}

void workbench::swapIn(std::unique_ptr<characterSnapshot> fresh) {
    // Keep the shown animation or move and its frame when they still exist.
    const std::string name = entryName();
    const bool wasMove = entryIsMove();
    const int oldFrame = shown_.frame;
    const int oldIndex = index_;

    std::unique_ptr<characterSnapshot> old = std::move(snapshot_);
    snapshot_ = std::move(fresh);
    entries_.clear();
    for (animation& anim : snapshot_->anims.animList)
        entries_.push_back({false, anim.animName, &anim.frameSet, nullptr});
    for (moveInfo& move : snapshot_->moves.moves)
        entries_.push_back({true, move.name, &move.frameSet, &move});

    int index = std::min(oldIndex, entryCount() - 1);
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].isMove == wasMove && entries_[i].name == name) {
            index = static_cast<int>(i);
            break;
        }
    // Live preview particles point into the old snapshot's definitions.
    previewList_.reset();
    placeOpponent();
    show(index, old ? oldFrame : 0);
    // The old frame sets go only now that nothing points into them.
    old.reset();
}

void workbench::show(int index, int frameIndex) {
    if (entries_.empty()) return;
    index_ = std::clamp(index, 0, entryCount() - 1);
    const entry& e = entries_[index_];
    shown_.base = e.frames;
    shown_.actionName = e.name;
    shown_.curMove = nullptr;
    const int count = frameCount();
    shown_.frame = count > 0 ? std::clamp(frameIndex, 0, count - 1) : 0;
    shown_.lastTick = static_cast<int>(seams::ticks());
    shown_.animating = playing_ ? 1 : 0;
    previewList_.reset();
    previewFrame_ = -1;
    placeFighters();
}

void workbench::placeOpponent() {
    static const char* const stances[] = {"standing", "duck", "inAir"};
    const char* name = stances[stance_];
    animation* shown = snapshot_ ? snapshot_->anims.returnAnimation(name) : nullptr;
    opponent_.base = shown ? &shown->frameSet : nullptr;
    opponent_.frame = 0;
    opponent_.animating = 1;
    opponent_.actionName = name;
    placeFighters();
}

bool workbench::shownInAir() const {
    // Moves that only work in the air, and the game's own air moves and
    // animation, are shown at the top of a jump.
    const entry* e = current();
    if (!e) return false;
    if (e->move && moveTable::place(e->move->condition) == "air") return true;
    for (const char* name : {"inAir", "blockAir", "airBack", "airForward"})
        if (e->name == name) return true;
    return false;
}

void workbench::moveOpponent(int by) {
    distance_ = std::clamp(distance_ + by, 0, largestDistance);
    placeFighters();
}

void workbench::placeFighters() {
    // The two anchors stand `distance` apart around the middle of the
    // stage, facing each other.
    const bool right = shown_.facingRight;
    const int centre = stageWidth / 2;
    shown_.xPos = right ? centre - distance_ / 2 : centre + distance_ / 2;
    opponent_.xPos = right ? shown_.xPos + distance_ : shown_.xPos - distance_;
    opponent_.facingRight = !right;
    shown_.yPos = shownInAir() ? g_GroundLevel - airLift : g_GroundLevel;
    shown_.onGround = shown_.yPos == g_GroundLevel;
    opponent_.yPos = stance_ == 2 ? g_GroundLevel - airLift : g_GroundLevel;
    opponent_.onGround = stance_ != 2;
}

const workbench::entry* workbench::current() const {
    if (entries_.empty()) return nullptr;
    return &entries_[index_];
}

std::string workbench::entryName() const {
    const entry* e = current();
    return e ? e->name : std::string();
}

bool workbench::entryIsMove() const {
    const entry* e = current();
    return e && e->isMove;
}

int workbench::frameCount() const {
    const entry* e = current();
    return e && e->frames ? static_cast<int>(e->frames->frames.size()) : 0;
}

const spriteFrame* workbench::shownFrame() const {
    return shown_.current();
}

void workbench::step(int by) {
    setPlaying(false);
    const int count = frameCount();
    if (count <= 0) return;
    shown_.frame = ((shown_.frame + by) % count + count) % count;
    shown_.lastTick = static_cast<int>(seams::ticks());
}

void workbench::setPlaying(bool on) {
    playing_ = on;
    shown_.animating = on ? 1 : 0;
    // Play resumes with the whole pause of the frame shown.
    shown_.lastTick = static_cast<int>(seams::ticks());
}

bool workbench::runPass() {
    const bool going = pollEvents();
    update();
    render();
    return going;
}

bool workbench::pollEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT)
            quit_ = true;
        else if (event.type == SDL_KEYDOWN)
            handleKey(event.key.keysym);
    }
    return !quit_;
}

void workbench::handleKey(const SDL_keysym& key) {
    if (browseKey(key.sym) || viewKey(key.sym)) return;
    switch (key.sym) {
    case SDLK_ESCAPE:
    case SDLK_q:
        quit_ = true;
        break;
    case SDLK_s:
    case SDLK_F12:
        screenshot();
        break;
    case SDLK_r:
        reload({}, true);
        break;
    default:
        break;
    }
}

bool workbench::browseKey(SDLKey key) {
    const int count = entryCount();
    switch (key) {
    case SDLK_DOWN:
    case SDLK_PAGEDOWN:
        if (count > 0) show((index_ + 1) % count, 0);
        return true;
    case SDLK_UP:
    case SDLK_PAGEUP:
        if (count > 0) show((index_ + count - 1) % count, 0);
        return true;
    case SDLK_TAB: {
        // To the first move from an animation, to the first animation from a move.
        const bool toMoves = !entryIsMove();
        for (int i = 0; i < count; ++i)
            if (entries_[i].isMove == toMoves) {
                show(i, 0);
                break;
            }
        return true;
    }
    case SDLK_RIGHT:
    case SDLK_PERIOD:
        step(1);
        return true;
    case SDLK_LEFT:
    case SDLK_COMMA:
        step(-1);
        return true;
    case SDLK_SPACE:
        setPlaying(!playing_);
        return true;
    default:
        return false;
    }
}

bool workbench::viewKey(SDLKey key) {
    switch (key) {
    case SDLK_f:
        shown_.facingRight = !shown_.facingRight;
        placeFighters();
        return true;
    case SDLK_o:
        opponentShown_ = !opponentShown_;
        return true;
    case SDLK_b:
        boxesShown_ = !boxesShown_;
        return true;
    case SDLK_k:
        onion_ = !onion_;
        return true;
    case SDLK_m:
        slow_ = (slow_ + 1) % 4;
        shown_.speed = opponent_.speed = fighterSpeed * static_cast<float>(slowdown());
        return true;
    case SDLK_p:
        stance_ = (stance_ + 1) % 3;
        placeOpponent();
        return true;
    case SDLK_v:
        preview_ = !preview_;
        previewList_.reset();
        previewFrame_ = -1;
        return true;
    default:
        return opponentKey(key);
    }
}

bool workbench::opponentKey(SDLKey key) {
    switch (key) {
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
        moveOpponent(-10);
        return true;
    case SDLK_EQUALS:
    case SDLK_PLUS:
    case SDLK_KP_PLUS:
        moveOpponent(10);
        return true;
    case SDLK_LEFTBRACKET:
        moveOpponent(-1);
        return true;
    case SDLK_RIGHTBRACKET:
        moveOpponent(1);
        return true;
    default:
        return false;
    }
}

void workbench::update() {
    const Uint32 now = seams::ticks();
    if (now - lastPoll_ >= pollInterval) {
        lastPoll_ = now;
        checkForChanges();
    }
}

void workbench::checkForChanges() {
    std::vector<std::string> changed = watcher_.poll();
    if (!changed.empty()) reload(changed, false);
}

void workbench::reload(const std::vector<std::string>& changed, bool forced) {
    const Uint32 began = seams::ticks();
    if (forced) {
        terminal_ << "reloading " << dataFolder_ << "\n";
    } else {
        terminal_ << "changed:";
        const size_t listed = std::min<size_t>(changed.size(), 5);
        for (size_t i = 0; i < listed; ++i)
            terminal_ << " " << changed[i];
        if (changed.size() > listed) terminal_ << " and " << changed.size() - listed << " more";
        terminal_ << "\n";
    }

    pending_.insert(pending_.end(), changed.begin(), changed.end());
    dataReport report = dataReport::check(dataFolder_);
    report.print(terminal_);
    errors_ = report.errors;
    lastReport_ = report;
    if (!forced && snapshot_) {
        // Held back when the changes since the shown state brought errors
        // of their own: more errors in the changed files (or the index and
        // move files above them) than the shown state had there.
        std::vector<const dataReport::finding*> now = report.errorsAbout(pending_, dataFolder_);
        if (now.size() > shownReport_.errorsAbout(pending_, dataFolder_).size()) {
            // Name an error the shown state did not have.
            const dataReport::finding* fresh = now.front();
            for (const dataReport::finding* f : now)
                if (!shownReport_.has(f->text)) {
                    fresh = f;
                    break;
                }
            say("kept the last good state: " + fresh->text, true);
            return;
        }
    }

    std::unique_ptr<characterSnapshot> fresh;
    try {
        stopGuard guard;
        fresh = characterSnapshot::load(dataFolder_);
    } catch (const loadStopped& stop) {
        std::string message = stop.message;
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
            message.pop_back();
        say("kept the last good state: the game would stop: " + message, true);
        return;
    } catch (const std::exception& failure) {
        say(std::string("kept the last good state: ") + failure.what(), true);
        return;
    }
    swapIn(std::move(fresh));
    shownReport_ = report;
    pending_.clear();
    say("reloaded in " + std::to_string(seams::ticks() - began) + " ms: " + report.summary,
        errors_ > 0);
}

void workbench::say(const std::string& message, bool problem) {
    status_ = message;
    statusIsProblem_ = problem;
    terminal_ << message << "\n";
    terminal_.flush();
}

std::string workbench::screenshot() {
    if (!screen_) return "";
    std::string path = shotFolder_ + "/" + fileSafe(entryName()) + "-" +
                       std::to_string(shown_.frame) + (shown_.facingRight ? "" : "-left") + ".bmp";
    if (SDL_SaveBMP(screen_, path.c_str()) != 0) {
        say("screenshot failed: " + path + ": " + SDL_GetError(), true);
        return "";
    }
    say("screenshot: " + path, false);
    return path;
}

bool workbench::damageReaches() const {
    // The game's own contact test: the opponent's body against the damage box.
    return SquareCollider(opponent_.getCBox(), shown_.getDBox()).collisionCheck();
}

std::vector<std::string> workbench::infoLines() const {
    std::vector<std::string> lines;
    const entry* e = current();
    if (!e) {
        lines.push_back("nothing loaded from " + dataFolder_ + "/" + characterSnapshot::character);
        return lines;
    }
    addFrameLines(lines, *e);
    addMoveLines(lines, *e);
    lines.push_back(opponentLine() + "   errors " + std::to_string(errors_));
    return lines;
}

void workbench::addFrameLines(std::vector<std::string>& lines, const entry& e) const {
    const int count = frameCount();
    std::string first = std::string(e.isMove ? "move " : "animation ") +
                        std::to_string(index_ + 1) + "/" + std::to_string(entryCount()) + " " +
                        e.name + "   ";
    const spriteFrame* f = shownFrame();
    if (!f) {
        lines.push_back(first + "no frames (check its folder and info file)");
    } else {
        const std::vector<std::string>& files = snapshot_->fileNames(e.frames);
        const std::string file =
            shown_.frame < static_cast<int>(files.size()) ? files[shown_.frame] : std::string("?");
        const int shownFor = static_cast<int>(static_cast<float>(f->pause) * fighterSpeed);
        lines.push_back(first + "frame " + std::to_string(shown_.frame + 1) + " of " +
                        std::to_string(count) + ": " + file + "   pause " +
                        std::to_string(f->pause) + " x3 = " + std::to_string(shownFor) + " ms   " +
                        (playing_ ? "playing" : "paused") +
                        (slow_ ? " at 1/" + std::to_string(slowdown()) : std::string()) +
                        (onion_ ? "   onion skin" : "") + "   facing " +
                        (shown_.facingRight ? "right" : "left"));
        lines.push_back("anchor " + point(f->offsetX, f->offsetY) + "   body " +
                        box(f->colX1, f->colY1, f->colX2, f->colY2) + "   damage box " +
                        box(f->dmgX1, f->dmgY1, f->dmgX2, f->dmgY2) + "   damage " +
                        std::to_string(f->damage) + "   hit type " + std::to_string(f->hitType));
        std::string particles;
        for (const std::string& line : f->partNames) {
            const particle::spawnLine spawn = particle::readSpawnLine(line);
            particles += (particles.empty() ? "" : "; ") + spawn.name + " " +
                         std::to_string(spawn.dx) + " " + std::to_string(spawn.dy);
        }
        lines.push_back("sound " + f->soundName + "   particles " +
                        (particles.empty() ? std::string("none") : particles) + "   step " +
                        std::to_string(f->moveX) + " forward, " + std::to_string(f->moveY) + " up");
    }
}

void workbench::addMoveLines(std::vector<std::string>& lines, const entry& e) const {
    if (e.move) {
        const moveInfo& m = *e.move;
        const std::string keys = moveTable::keys(m.command);
        lines.push_back("command " + m.command + " (" +
                        (keys.empty() ? std::string("no button completes it") : keys) +
                        ")   link " + m.linkMove + " from frame " + std::to_string(m.linkFrame) +
                        "   cancel " + m.fromMove + " from frame " + std::to_string(m.fromFrame) +
                        "   condition " + m.condition + " (" + moveTable::place(m.condition) + ")");
        lines.push_back(timingLine(frameData::of(m, snapshot_->moves)));
    } else {
        lines.push_back("an animation: no command, link, cancel or condition");
        lines.push_back("");
    }
}

std::string workbench::opponentLine() const {
    std::string opponent = "opponent hidden";
    if (opponentShown_) {
        const char* stance = stance_ == 1 ? "ducking " : stance_ == 2 ? "in the air " : "";
        opponent = std::string("opponent ") + stance + std::to_string(distance_) + " px away: ";
        const spriteFrame* shown = shownFrame();
        const bool noBox = !shown || (shown->dmgX1 == shown->dmgX2 && shown->dmgY1 == shown->dmgY2);
        // A frame without a damage box still has a point the game tests; it
        // only matters when that point lands on the opponent.
        if (damageReaches())
            opponent += "damage box reaches its body";
        else if (noBox)
            opponent += "no damage box on this frame";
        else if (cornerRule::crossesLikePlus(opponent_.getCBox(), shown_.getDBox()))
            // The game finds a touch only through a corner inside the other box.
            opponent += "damage box overlaps its body, but no corner of either lies inside the "
                        "other: the game's corner test misses it";
        else
            opponent += "damage box misses its body";
    }
    return opponent;
}

std::string workbench::caption() const {
    // The facts of the frame and the move; the opponent line stays on screen.
    std::vector<std::string> lines = infoLines();
    if (lines.size() > 1) lines.pop_back();
    std::string text = "workbench:";
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? " | " : " ") + lines[i];
    return text;
}

void workbench::render() {
    if (!screen_) return;
    if (snapshot_ && snapshot_->stage) {
        SDL_BlitSurface(snapshot_->stage, nullptr, screen_, nullptr);
    } else {
        overlayPainter::fill(screen_, 0, 0, screen_->w, screen_->h,
                             overlayPainter::colour(screen_, emptyStage));
    }
    if (snapshot_) {
        // Time runs as in a pass of the game: the frame clocks step, then
        // the frames are drawn.
        if (opponentShown_) opponent_.stepFrame();
        shown_.stepFrame();
        if (opponentShown_) opponent_.draw();
        if (onion_) drawOnion();
        shown_.draw();
        runPreview();
        drawParticles();
        if (boxesShown_) drawOverlays();
    }
    drawText();
    const std::string now = caption();
    if (now != shownCaption_) {
        shownCaption_ = now;
        SDL_WM_SetCaption(now.c_str(), "workbench");
    }
}

void workbench::drawParticles() {
    const spriteFrame* f = shownFrame();
    if (!f || !snapshot_) return;
    const bool right = shown_.facingRight;
    for (const std::string& line : f->partNames) {
        // Where the game puts a particle a fighter spawns: the offsets from
        // the fighter's anchor, x forward and y up.
        const particle::spawnLine spawn = particle::readSpawnLine(line);
        const int x = right ? shown_.xPos + spawn.dx : shown_.xPos - spawn.dx;
        const int y = shown_.yPos - spawn.dy;
        auto found = snapshot_->particles.find(spawn.name);
        if (found != snapshot_->particles.end()) {
            CSprite preview;
            preview.base = found->second.get();
            preview.screenSurf = screen_;
            preview.animating = 0;
            preview.adjustPos(x, y, right);
            preview.drawD(right);
            // The box the game tests against the opponent's body.
            if (boxesShown_)
                overlayPainter::outline(screen_, preview.getColBox(right),
                                        overlayPainter::colour(screen_, spawnColour));
        }
        if (boxesShown_) {
            overlayPainter::cross(screen_, x, y, 3, overlayPainter::colour(screen_, spawnColour));
            // The name with a dark shadow, readable over any art.
            bitmapFont::draw(screen_, x + 6, y + 4, spawn.name,
                             overlayPainter::colour(screen_, panelColour));
            bitmapFont::draw(screen_, x + 5, y + 3, spawn.name,
                             overlayPainter::colour(screen_, spawnColour));
        }
    }
}

void workbench::drawOverlays() {
    const Uint32 body = overlayPainter::colour(screen_, bodyColour);
    if (opponentShown_ && opponent_.current())
        overlayPainter::outline(screen_, opponent_.getCBox(), body);
    const spriteFrame* f = shownFrame();
    if (f) {
        overlayPainter::outline(screen_, shown_.getCBox(), body);
        // A damage box without damage is drawn dashed: the game draws it
        // only when the frame does damage.
        const bool hasBox = f->dmgX1 != f->dmgX2 || f->dmgY1 != f->dmgY2;
        if (f->damage > 0 || hasBox)
            overlayPainter::outline(screen_, shown_.getDBox(),
                                    overlayPainter::colour(screen_, damageColour), f->damage <= 0);
    }
    overlayPainter::cross(screen_, shown_.xPos, shown_.yPos, 7,
                          overlayPainter::colour(screen_, anchorColour));
}

void workbench::drawText() {
    const Uint32 panel = overlayPainter::colour(screen_, panelColour);
    const Uint32 text = overlayPainter::colour(screen_, textColour);
    const Uint32 problem = overlayPainter::colour(screen_, problemColour);
    const int line = bitmapFont::cellHeight;
    overlayPainter::fill(screen_, 0, 0, screen_->w, margin * 2 + line * panelLines, panel);
    std::vector<std::string> lines = infoLines();
    int y = margin;
    for (const std::string& shown : lines) {
        bitmapFont::draw(screen_, margin, y, shown, text);
        y += line;
    }
    if (errors_ > 0) {
        const std::string count = std::to_string(errors_) + (errors_ == 1 ? " error" : " errors");
        bitmapFont::draw(screen_, screen_->w - margin - bitmapFont::width(count), margin, count,
                         problem);
    }
    if (!status_.empty())
        bitmapFont::draw(screen_, margin, margin + line * (panelLines - 1), status_,
                         statusIsProblem_ ? problem : text);
    drawTimeline();
    const int helpTop = screen_->h - 2 * line - margin;
    overlayPainter::fill(screen_, 0, helpTop - margin, screen_->w, 2 * line + margin * 2, panel);
    bitmapFont::draw(screen_, margin, helpTop, keyHelp[0], text);
    bitmapFont::draw(screen_, margin, helpTop + line, keyHelp[1], text);
}

void workbench::drawOnion() {
    // The previous frame and the next, faint, under the frame shown.
    const CSpriteBase* set = shown_.base;
    const int count = frameCount();
    if (!set || count < 2 || !screen_) return;
    for (int by : {-1, 1}) {
        const int i = ((shown_.frame + by) % count + count) % count;
        const std::vector<spriteFrame>& frames = shown_.facingRight ? set->frames : set->flipFrames;
        if (i >= static_cast<int>(frames.size()) || !frames[i].image) continue;
        const spriteFrame& f = frames[i];
        SDL_Rect to;
        to.x = static_cast<Sint16>(shown_.xPos - f.offsetX);
        to.y = static_cast<Sint16>(shown_.yPos - f.offsetY);
        SDL_SetAlpha(f.image, SDL_SRCALPHA, by < 0 ? 70 : 110);
        SDL_BlitSurface(f.image, nullptr, screen_, &to);
        SDL_SetAlpha(f.image, 0, SDL_ALPHA_OPAQUE);
    }
}

void workbench::runPreview() {
    // The particles the shown frames spawn, made, moved and ended by the
    // game's own particle list: their flight, their OnDeath follow-ups and
    // their boxes.  A frame spawns when it is reached.
    if (!preview_ || !snapshot_ || !snapshot_->particleDefs.head || !screen_) return;
    const spriteFrame* f = shownFrame();
    const Uint32 now = seams::ticks();
    const bool spawns = f && !f->partNames.empty();
    if (spawns && shown_.frame != previewFrame_) {
        if (!previewList_) {
            previewList_ = std::make_unique<particleList>();
            previewStep_ = now;
        }
        for (const std::string& line : f->partNames)
            previewList_->addParticle(line, &shown_, nullptr, &snapshot_->particleDefs, screen_,
                                      static_cast<int>(now));
    }
    previewFrame_ = spawns ? shown_.frame : -1;
    if (!previewList_) return;
    // One movement step per 10 ms, as in the game (slower in slow motion).
    const Uint32 stepMs = 10u * static_cast<Uint32>(slowdown());
    for (int steps = 0; now - previewStep_ >= stepMs && steps < 100; ++steps) {
        previewList_->update();
        previewStep_ += stepMs;
    }
    if (now - previewStep_ >= stepMs) previewStep_ = now;
    previewList_->advanceFrames();
    previewList_->draw();
    if (!boxesShown_) return;
    const Uint32 box = overlayPainter::colour(screen_, spawnColour);
    for (particleList::node* n = previewList_->head; n; n = n->next)
        if (!n->item->dead)
            overlayPainter::outline(screen_, n->item->sprite.getColBox(n->item->facingRight), box);
}

int workbench::timelineTop() const {
    const int helpTop = screen_ ? screen_->h - 2 * bitmapFont::cellHeight - margin : 0;
    return helpTop - margin - timelineHeight - 6;
}

void workbench::drawTimeline() {
    // One block per frame, as wide as its pause: red where it can hurt,
    // green where it spawns particles, the frame shown outlined.
    const entry* e = current();
    if (!e || !e->frames || !screen_) return;
    const std::vector<spriteFrame>& frames = e->frames->frames;
    const int count = static_cast<int>(frames.size());
    if (count == 0) return;
    long long total = 0;
    for (const spriteFrame& f : frames)
        total += std::max(f.pause, 1);
    const int width = screen_->w - 2 * margin;
    const int top = timelineTop();
    const Uint32 text = overlayPainter::colour(screen_, textColour);
    overlayPainter::fill(screen_, 0, top - 3, screen_->w, timelineHeight + 6,
                         overlayPainter::colour(screen_, panelColour));
    long long sum = 0;
    int x = margin;
    for (int i = 0; i < count; ++i) {
        const spriteFrame& f = frames[static_cast<size_t>(i)];
        sum += std::max(f.pause, 1);
        const int right = margin + static_cast<int>(width * sum / total);
        const bool hurts = f.damage > 0 && f.hitType == 1;
        const Uint32 rgb = hurts                  ? activeColour
                           : !f.partNames.empty() ? spawnFrameColour
                                                  : idleColour;
        overlayPainter::fill(screen_, x, top, std::max(right - x - 1, 1), timelineHeight,
                             overlayPainter::colour(screen_, rgb));
        const std::string label = std::to_string(i + 1);
        if (bitmapFont::width(label) + 3 < right - x)
            bitmapFont::draw(screen_, x + 2,
                             top + (timelineHeight - bitmapFont::cellHeight) / 2 + 1, label, text);
        if (i == shown_.frame)
            overlayPainter::outline(screen_, {x - 1, top - 2, right - 1, top + timelineHeight + 1},
                                    overlayPainter::colour(screen_, currentColour));
        x = right;
    }
}
