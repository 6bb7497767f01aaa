// Start-up, the main loop and the scene.
#include "game/main.h"

#include "base/fatal.h"
#include "base/media.h"
#include "base/platform.h"
#include "base/seams.h"
#include "control/controlReader.h"
#include "game/screenUpdate.h"
#include "particle/particle.h"
#include "sprite/displayFormat.h"
#include "sprite/paletteFile.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

SDL_Surface* screen = nullptr;
SDL_Surface* back = nullptr;
CSpriteBase barbase;
CSpriteBar play1HPBar;
CSpriteBar play2HPBar;
Fighter vikings1;
Fighter fighter2;
Target targ;
Target targ2;
playerControl player1;
AI basicAI;
playerControl player2;
particleList pList;
gamePad GPad;

namespace {

screenUpdate shownFrames;
// A versus match: player 2 drives the right-hand fighter instead of the
// computer, and particles hit whoever did not throw them.
bool g_versus = false;

const char* const characterFolder = "data/Tavro";
const char* const backgroundFile = "data/tBG2.bmp";

// Start-up cannot go on: say why on a line of its own and end the game.
[[noreturn]] void cannotStart(const std::string& message) {
    fatal::stop(message + "\n");
}

void placeFighter(Fighter& fighter, animationSet& anims, int x, int y) {
    fighter.initS(&anims, screen);
    fighter.speed = 3.0f;
    fighter.xPos = x;
    fighter.yPos = y;
    fighter.setHP(1000, 1000);
}

void placeBar(CSpriteBar& bar, int x, bool rightToLeft) {
    bar.init(&barbase, screen);
    bar.xPos = x;
    bar.yPos = 10;
    bar.setBar(10, 5, 360, 20, 1000, 1000, rightToLeft);
    bar.clearBack = true;
}

// The stage is blitted once; afterwards only the sprites' saved rectangles
// restore it.
void loadBackground() {
    // Read whole (a regular file only) and checked before SDL decodes it.
    std::vector<unsigned char> bytes;
    SDL_Surface* loaded = nullptr;
    if (platform::readWholeFile(backgroundFile, bytes) == platform::ReadResult::Ok)
        loaded = CSpriteBase::decodeBitmap(bytes);
    else
        SDL_SetError("cannot read the file, or it is not a regular file");
    if (!loaded)
        cannotStart(std::string("Cannot load the stage ") + backgroundFile + ": " + SDL_GetError());
    back = keptInDisplayFormat(loaded);
    if (!back)
        cannotStart(std::string("Cannot convert the stage ") + backgroundFile + ": " +
                    SDL_GetError());
    SDL_BlitSurface(back, nullptr, screen, nullptr);
    shownFrames.wholeNext();
}

void listJoysticks() {
    int count = SDL_NumJoysticks();
    seams::trace() << count << " joysticks were found.\n\n";
    if (count <= 0) return;
    seams::trace() << "The names of the joysticks are:\n";
    for (int i = 0; i < count; ++i) {
        const char* name = SDL_JoystickName(i);
        seams::trace() << " " << (name ? name : "") << "\n";
    }
}

// The joysticks there are, by index.  A browser lists empty gamepad slots
// too, which have no name: they are no joysticks, and a player given one
// could press nothing.
std::vector<int> namedJoysticks() {
    std::vector<int> found;
    const int count = SDL_NumJoysticks();
    for (int i = 0; i < count; ++i)
        if (SDL_JoystickName(i)) found.push_back(i);
    return found;
}

// Where a sprite may have written this frame: its saved rectangle and its
// frame's image, both at (x, y).
void markSprite(const CSprite& sprite, const spriteFrame* shown, long long x, long long y) {
    // A keyed frame changes only its opaque pixels: the background put back
    // around them is what was there.  Its last place is sent again with the
    // next frame, where it is erased.
    if (shown && shown->runs.known()) {
        const SDL_Rect& opaque = shown->runs.extent();
        shownFrames.add(x + opaque.x, y + opaque.y, opaque.w, opaque.h);
        return;
    }
    long long w = 0, h = 0;
    if (sprite.base) {
        w = sprite.base->width;
        h = sprite.base->height;
    }
    if (sprite.backSave) {
        w = std::max(w, static_cast<long long>(sprite.backSave->w));
        h = std::max(h, static_cast<long long>(sprite.backSave->h));
    }
    if (shown && shown->image) {
        w = std::max(w, static_cast<long long>(shown->image->w));
        h = std::max(h, static_cast<long long>(shown->image->h));
    }
    shownFrames.add(x, y, w, h);
}

// Everything a bar's pixels follow from.
struct barLook {
    const SDL_Surface* art = nullptr;
    int x = 0, y = 0, barX = 0, barY = 0, barW = 0, barH = 0, value = 0, maxValue = 0;
    bool clearBack = false, rightToLeft = false, drawn = false;
    bool operator==(const barLook& o) const {
        return art == o.art && x == o.x && y == o.y && barX == o.barX && barY == o.barY &&
               barW == o.barW && barH == o.barH && value == o.value && maxValue == o.maxValue &&
               clearBack == o.clearBack && rightToLeft == o.rightToLeft && drawn == o.drawn;
    }
};

barLook lookOf(const CSpriteBar& bar) {
    barLook look;
    const spriteFrame* shown = bar.current();
    look.art = shown ? shown->image : nullptr;
    look.x = bar.xPos;
    look.y = bar.yPos;
    look.barX = bar.barX;
    look.barY = bar.barY;
    look.barW = bar.barW;
    look.barH = bar.barH;
    look.value = bar.value;
    look.maxValue = bar.maxValue;
    look.clearBack = bar.clearBack;
    look.rightToLeft = bar.rightToLeft;
    look.drawn = bar.drawn == 1;
    return look;
}

// Plain sprites are placed by their corner, handed to SDL in 16 bits.
long long sdlPosition(int p) {
    return static_cast<Sint16>(p);
}

// The frame drawn on the screen goes to the window.
void showFrame() {
    for (const Fighter* f : {&vikings1, &fighter2}) {
        const spriteFrame* shown = f->current();
        const spriteFrame* faced = f->current(f->facingRight);
        const long long x = f->xPos - (faced ? faced->offsetX : 0);
        const long long y = f->yPos - (shown ? shown->offsetY : 0);
        markSprite(*f, faced, x, y);
    }
    for (particleList::node* n = pList.head; n; n = n->next) {
        const CSprite& s = n->item->sprite;
        markSprite(s, s.current(n->item->facingRight), sdlPosition(s.xPos), sdlPosition(s.yPos));
    }
    // A bar is drawn over itself every frame: it changes only when what it
    // shows does.  (Whatever passed over it is sent as that sprite's.)
    static barLook shownBars[2];
    int which = 0;
    for (const CSpriteBar* bar : {&play1HPBar, &play2HPBar}) {
        const barLook look = lookOf(*bar);
        if (look == shownBars[which] && !shownFrames.wholeComing(screen)) {
            ++which;
            continue;
        }
        shownBars[which++] = look;
        markSprite(*bar, bar->current(), sdlPosition(bar->xPos), sdlPosition(bar->yPos));
        shownFrames.add(sdlPosition(bar->xPos + bar->barX), sdlPosition(bar->yPos + bar->barY),
                        bar->barW, bar->barH);
    }
    // The debug boxes may reach outside the sprites, and what the save
    // rectangles put back of them once they are off reaches beyond the
    // frames' opaque pixels.
    static bool debuggedLast = false;
    shownFrames.show(screen, debugging || debuggedLast);
    debuggedLast = debugging;
}

} // namespace

void sdlInit() {
    platform::hideConsole();
    media::stopWithoutDisplay();
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) < 0)
        cannotStart(std::string("Unable to init SDL: ") + SDL_GetError());
    std::atexit(SDL_Quit);
    media::stopWithoutDisplay();
    platform::restoreStopSignals();
    // Intended: the warning says 44100 Hz though the device is asked for 22050.
    if (media::openAudio(22050, AUDIO_S16LSB, 2, 4096) < 0)
        seams::trace() << "Warning: Couldn't set 44100 Hz 16-bit audio\n- Reason: "
                       << SDL_GetError() << "\n";
    screen = media::openScreen(800, 600, 32, SDL_HWPALETTE);
    if (!screen) cannotStart(std::string("Unable to set 800x600 video: ") + SDL_GetError());
    SDL_WM_SetCaption("Tavro Fighter", "Tavro Fighter");
}

namespace {

// Player 2 wears the character's second palette when it has one, so that
// two players of one character can tell their fighters apart.
void wearPlayerTwoColours(gameSession& session) {
    paletteFile file;
    std::vector<colourSwap> swaps;
    if (file.open(characterFolder + std::string("/") + paletteFile::name)) swaps = file.readSwaps();
    session.playerTwoColours.wear(swaps);
    fighter2.colours = &session.playerTwoColours;
}

// Player 2 in versus (the second pad, the last joystick), the opponent's
// controller otherwise.
void setUpSecondPlayer(gameSession& session) {
    if (session.versus) {
        session.checker2 = std::make_unique<inputChecker>(&session.moves, &fighter2);
        session.checker2->target = &targ2;
        session.pad2.setPlayerTwoDefaults();
        // Player 2 takes the last joystick; with two, player 1 the first.
        const std::vector<int> sticks = namedJoysticks();
        if (sticks.size() >= 1) session.pad2.joyIndex = sticks.back();
        if (sticks.size() >= 2) {
            GPad.joyIndex = sticks.front();
            player1.joystick = SDL_JoystickOpen(sticks.front());
        }
        wearPlayerTwoColours(session);
        player2.init(screen);
        player2.side = 1;
        player2.setup(&fighter2, &session.particleDefs, &pList, session.sounds.get(),
                      &session.anims, &session.moves, &session.pad2, session.checker2.get(),
                      &targ2);
    } else {
        basicAI.init(screen);
        basicAI.side = 1;
        basicAI.setup(&fighter2, &session.particleDefs, &pList, session.sounds.get(),
                      &session.anims, &session.moves, &targ2, "data/Tavro/ai");
    }
}

// The hit-point bars, from data/hpBar.
void loadBars() {
    // Without bar frames the game goes on without bars; say so.
    const bool barLoaded = barbase.init("data/hpBar") == 0;
    if (barbase.frames.empty())
        seams::trace() << "No hit-point bar frames in data/hpBar: the game goes on without bars\n";
    else if (!barLoaded)
        seams::trace() << "A hit-point bar frame in data/hpBar did not load: the bars use the "
                          "frames before it\n";
    placeBar(play1HPBar, 10, false);
    placeBar(play2HPBar, 410, true);
}

} // namespace

void startUp(gameSession& session) {
    session.anims.loadAll(characterFolder);
    if (session.anims.animList.empty())
        cannotStart(std::string("Cannot start: no animations found in ") + characterFolder +
                    "/info");
    session.moves.loadAll(characterFolder);

    placeFighter(vikings1, session.anims, 50, 300);
    placeFighter(fighter2, session.anims, 550, 300);
    SDL_ShowCursor(SDL_DISABLE);

    session.checker = std::make_unique<inputChecker>(&session.moves, &vikings1);
    session.checker->printB();

    seams::trace() << "making an Sset\n";
    session.sounds = std::make_unique<soundSet>();
    session.sounds->getList("data/soundSet");
    session.sounds->addToList("data/Tavro/sound");
    session.sounds->display();

    GPad.setPlayerOneDefaults();
    listJoysticks();

    session.particleDefs.addList("default", screen);
    loadBackground();

    targ.setTarget(&fighter2);
    targ2.setTarget(&vikings1);
    session.checker->target = &targ;

    player1.init(screen);
    player1.setup(&vikings1, &session.particleDefs, &pList, session.sounds.get(), &session.anims,
                  &session.moves, &GPad, session.checker.get(), &targ);
    g_versus = session.versus;
    fighter2.colours = nullptr;
    setUpSecondPlayer(session);
    loadBars();
}

bool runPass(gameSession& session) {
    bool goOn = updateGame(session);
    DrawScene();
    return goOn;
}

void readControls(gameSession& session, passControls* players) {
    if (!session.versus) {
        players[0] = player1.readControls(session.event);
        players[1] = passControls{};
        return;
    }
    const controlReader::binding both[2] = {{player1.pad, player1.joystick},
                                            {player2.pad, player2.joystick}};
    players[0] = players[1] = passControls{};
    controlReader::readEvents(session.event, both, players, 2);
    players[0].held = controlReader::heldControls(both[0]);
    players[1].held = controlReader::heldControls(both[1]);
}

bool updateGame(gameSession& session) {
    passControls players[2];
    // Read at the pass's step 2, as the desktop game always has: after
    // player 1's time step, which reads no input.
    player1.update();
    readControls(session, players);
    return stepAfterUpdate(session, players);
}

bool updateGame(gameSession& session, const passControls* players) {
    player1.update();
    return stepAfterUpdate(session, players);
}

void DrawScene() {
    drawFrame();
    eraseAndCheckHits();
}

void drawFrame() {
    // Put the background back where everything was, then save it where
    // everything is now.
    vikings1.clearBG();
    fighter2.clearBG();
    pList.clearBG();
    play1HPBar.clearBG();
    play2HPBar.clearBG();

    vikings1.updateBG();
    fighter2.updateBG();
    pList.updateBG();
    play1HPBar.updateBG();
    play2HPBar.updateBG();

    vikings1.draw();
    fighter2.draw();
    pList.draw();
    play1HPBar.draw();
    play2HPBar.draw();

    if (debugging) {
        vikings1.drawColBoxes();
        fighter2.drawColBoxes();
        pList.debug();
    }

    showFrame();
}

bool stepAfterUpdate(gameSession& session, const passControls* players) {
    player1.applyControls(players[0]);
    if (session.versus) {
        player2.update();
        player2.applyControls(players[1]);
    } else {
        basicAI.update();
        basicAI.updateAI();
    }
    play1HPBar.setBarValue(vikings1.hp);
    play2HPBar.setBarValue(fighter2.hp);
    advanceFrames();
    return player1.quitRequested == 0 && (!session.versus || player2.quitRequested == 0);
}

void eraseAndCheckHits() {
    eraseFrame();
    checkHits();
}

void eraseFrame() {
    // Leave a clean stage for the next pass's movement; the bars stay.
    vikings1.clearBG();
    fighter2.clearBG();
    pList.clearBG();
}

void advanceUnseenFrame() {
    checkHits();
}

void advanceFrames() {
    vikings1.stepFrame();
    fighter2.stepFrame();
    pList.advanceFrames();
    play1HPBar.advanceFrame();
    play2HPBar.advanceFrame();
}

void checkHits() {
    player1.updateDamageCollision();
    if (g_versus) {
        player2.updateDamageCollision();
        // Each player's particles, and their follow-ups, hit the other.
        player1.checkParticleCollision(&pList, 'E', &vikings1);
        player2.checkParticleCollision(&pList, 'E', &fighter2);
        return;
    }
    basicAI.updateDamageCollision();
    // Intended: only the opponent meets particles, whoever threw them.
    basicAI.checkParticleCollision(&pList, 'E');
}

int SDL_main(int, char*[]) {
    sdlInit();
    gameSession session;
    startUp(session);
    while (runPass(session)) {
    }
    seams::trace().flush();
    return 0;
}
