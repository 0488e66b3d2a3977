#include "content/Clock.h"

#include "scene/WallClock.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"


std::int32_t lastHourTens = -1;
std::int32_t lastHourUnits = -1;
std::int32_t lastMinuteTens = -1;
std::int32_t lastMinuteUnits = -1;
std::int32_t lastSecond = -1;
std::int32_t lastAmPm = -1;

const ClockSlot clockSlots[6] = {
    {11.432, 0, AmPmSign},                   // am/pm
    {-6.483, HourTens24, HourTens12},        // hour tens
    {-2.498, HourUnits24, HourUnits12},      // hour units
    {0.0, Separator, Separator},             // separator
    {2.523, MinuteTens, MinuteTens},         // minute tens
    {6.466, MinuteUnits, MinuteUnits},       // minute units
};

namespace {

const char* const clockPack = "clock.pak";
const char* const digitNames[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

// Endless motion (id 1, active) with the given function and selector.
Motion endlessMotion(MotionFunction function, std::int32_t selector) {
    Motion m(1, true, 0);
    m.setFunction(function, selector, 0.0, 0.0, 0.0);
    return m;
}

void startSingleMotion(SceneNode& node, const Motion& motion) {
    node.script.addStep();
    node.script.addMotion(motion);
    node.script.startStep(0);
}

// A hand: its model, the wall-clock motion, depth test off.
SceneNode* newHand(const char* entry, std::int32_t hand) {
    SceneNode* node = new SceneNode;
    node->loadModel(clockPack, entry);
    startSingleMotion(*node, endlessMotion(clockHand, hand));
    node->addCallback(noDepthTest, 0);
    return node;
}

// What a slot shows for the time read: the watched field, its last-shown
// value, the entry (null for a blank place) and how the digit expires.
struct SlotView {
    std::int32_t* lastShown;
    std::int32_t watched;
    const char* entry;
    std::int32_t expiryKind;
};

// Hours of the 12-hour form: 0 stays 0 (shown as "12"), 13 ... 23 become 1 ... 11.
std::int32_t hour12(std::int32_t hour) { return hour > 12 ? hour - 12 : hour; }

// A digit character for 0 ... 9; null for anything else (never formed from
// a valid time, but the table must not be read outside its bounds).
const char* digitName(std::int32_t d) { return d >= 0 && d <= 9 ? digitNames[d] : nullptr; }

bool viewOf(std::int32_t kind, const std::tm& t, SlotView& view) {
    const std::int32_t hour = t.tm_hour, minute = t.tm_min, second = t.tm_sec;
    switch (kind) {
        case HourTens24:
            view = {&lastHourTens, hour, (hour / 10 == 0 && hour != 0) ? nullptr : digitName(hour / 10), 1};
            return true;
        case HourUnits24: view = {&lastHourUnits, hour, digitName(hour % 10), 2}; return true;
        case MinuteTens: view = {&lastMinuteTens, minute, digitName(minute / 10), 3}; return true;
        case MinuteUnits: view = {&lastMinuteUnits, minute, digitName(minute % 10), 4}; return true;
        case Separator: view = {&lastSecond, second, (second % 2 != 0) ? "dot" : nullptr, 5}; return true;
        case HourTens12: {
            const std::int32_t h = hour12(hour);
            const std::int32_t tens = (h / 10) % 10;
            view = {&lastHourTens, hour, h == 0 ? "1" : (tens == 0 ? nullptr : digitName(tens)), 1};
            return true;
        }
        case HourUnits12: {
            const std::int32_t h = hour12(hour);
            view = {&lastHourUnits, hour, h == 0 ? "2" : digitName(h % 10), 1};
            return true;
        }
        case AmPmSign: view = {&lastAmPm, hour, hour > 11 ? "pm" : "am", 1}; return true;
        default: return false;
    }
}

}  // namespace

void buildAnalogueClock(MotionArgument) {
    SceneNode* clock = currentNode;
    clock->translateBy(-9.3, 9, 0);

    SceneNode* dial = new SceneNode;
    dial->loadModel(clockPack, "ciferblat");
    dial->addCallback(noDepthTest, 0);
    clock->addChild(dial);

    clock->addChild(newHand("sec", 1));
    clock->addChild(newHand("min", 2));
    clock->addChild(newHand("chas", 3));
}

void buildDigitalClock(MotionArgument) {
    SceneNode* clock = currentNode;
    const bool twentyFour = currentMotion->selector != 0;
    clock->translateBy(-10, 1, 0);

    SceneNode* plate = new SceneNode;
    if (twentyFour) {
        plate->loadModel(clockPack, "podlozka");
    } else {
        // The 12-hour plate is wider (room for the am/pm sign).
        clock->translateBy(-5.186, 0, 0);
        plate->loadModel(clockPack, "podlozka_am");
    }
    plate->addCallback(noDepthTest, 0);
    clock->addChild(plate);

    for (const ClockSlot& place : clockSlots) {
        const std::int32_t kind = twentyFour ? place.kind24 : place.kind12;
        if (kind == 0) continue;
        SceneNode* slot = new SceneNode;
        slot->setPosition(place.x, 0, 0);
        startSingleMotion(*slot, endlessMotion(clockDigitSlot, kind));
        slot->addCallback(noDepthTest, 0);
        clock->addChild(slot);
    }
}

void clockDigitSlot(MotionArgument) {
    const std::tm now = wallClockNow();
    SlotView view;
    if (!viewOf(currentMotion->selector, now, view)) return;
    if (view.watched == *view.lastShown) return;
    *view.lastShown = view.watched;

    SceneNode* digit = new SceneNode;
    if (view.entry) digit->loadModel(clockPack, view.entry);
    Motion expiry(1, true, 0);
    expiry.setFunction(digitExpiry, view.expiryKind, view.watched, 0.0, 0.0, 0.0);
    startSingleMotion(*digit, expiry);
    currentNode->addChild(digit);
}

void digitExpiry(MotionArgument) {
    const std::tm now = wallClockNow();
    std::int32_t field;
    switch (currentMotion->selector) {
        case 1:
        case 2: field = now.tm_hour; break;
        case 3:
        case 4: field = now.tm_min; break;
        case 5: field = now.tm_sec; break;
        default: return;
    }
    if (field != currentMotion->selector2) currentNode->requestRemoval();
}
