#include "content/Clock.h"

#include "content/OverlayLayout.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"
#include "scene/WallClock.h"

#include <cstdio>

using namespace overlayLayout;

const ClockSlot clockSlots[6] = {
    {clockAmPmX, 0, AmPmSign},                          // am/pm
    {clockHourTensX, HourTens24, HourTens12},           // hour tens
    {clockHourUnitsX, HourUnits24, HourUnits12},        // hour units
    {clockSeparatorX, Separator, Separator},            // separator
    {clockMinuteTensX, MinuteTens, MinuteTens},         // minute tens
    {clockMinuteUnitsX, MinuteUnits, MinuteUnits},      // minute units
};

namespace {

const char* const clockPack = "clock.pak";

// A hand: its model, the wall-clock motion, depth test off.
SceneNode* newHand(const char* entry, std::int32_t hand) {
    SceneNode* node = new SceneNode;
    node->loadModel(clockPack, entry);
    node->script.startNewStep({endlessMotion(clockHand, hand)});
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
const char* digitName(std::int32_t d) { return d >= 0 && d <= 9 ? digitEntryNames[d] : nullptr; }

bool viewOf(std::int32_t kind, const std::tm& t, SlotView& view) {
    const std::int32_t hour = t.tm_hour, minute = t.tm_min, second = t.tm_sec;
    switch (kind) {
        case HourTens24:
            view = {&lastHourTens, hour, (hour / 10 == 0 && hour != 0) ? nullptr : digitName(hour / 10),
                    ExpiresWithHour};
            return true;
        case HourUnits24: view = {&lastHourUnits, hour, digitName(hour % 10), ExpiresWithHourUnits}; return true;
        case MinuteTens: view = {&lastMinuteTens, minute, digitName(minute / 10), ExpiresWithMinute}; return true;
        case MinuteUnits:
            view = {&lastMinuteUnits, minute, digitName(minute % 10), ExpiresWithMinuteUnits};
            return true;
        case Separator:
            view = {&lastSecond, second, (second % 2 != 0) ? "dot" : nullptr, ExpiresWithSecond};
            return true;
        case HourTens12: {
            const std::int32_t h = hour12(hour);
            const std::int32_t tens = (h / 10) % 10;
            view = {&lastHourTens, hour, h == 0 ? "1" : (tens == 0 ? nullptr : digitName(tens)), ExpiresWithHour};
            return true;
        }
        case HourUnits12: {
            const std::int32_t h = hour12(hour);
            view = {&lastHourUnits, hour, h == 0 ? "2" : digitName(h % 10), ExpiresWithHour};
            return true;
        }
        case AmPmSign: view = {&lastAmPm, hour, hour > 11 ? "pm" : "am", ExpiresWithHour}; return true;
        default: return false;
    }
}

}  // namespace

void buildAnalogueClock(MotionArgument) {
    SceneNode* clock = currentNode;
    clock->translateBy(clockAnalogueX, clockAnalogueY, 0);

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
    clock->translateBy(clockDigitalX, clockDigitalY, 0);

    SceneNode* plate = new SceneNode;
    if (twentyFour) {
        plate->loadModel(clockPack, "podlozka");
    } else {
        // The 12-hour plate is wider (room for the am/pm sign).
        clock->translateBy(-clock12hShift, 0, 0);
        plate->loadModel(clockPack, "podlozka_am");
    }
    plate->addCallback(noDepthTest, 0);
    clock->addChild(plate);

    for (const ClockSlot& place : clockSlots) {
        const std::int32_t kind = twentyFour ? place.kind24 : place.kind12;
        if (kind == 0) continue;
        SceneNode* slot = new SceneNode;
        slot->setPosition(place.x, 0, 0);
        slot->script.startNewStep({endlessMotion(clockDigitSlot, kind)});
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
    Motion expiry = endlessMotion(digitExpiry, view.expiryKind);
    expiry.selector2 = view.watched;
    digit->script.startNewStep({expiry});
    currentNode->addChild(digit);
}

void digitExpiry(MotionArgument) {
    const std::tm now = wallClockNow();
    std::int32_t field;
    switch (currentMotion->selector) {
        case ExpiresWithHour:
        case ExpiresWithHourUnits: field = now.tm_hour; break;
        case ExpiresWithMinute:
        case ExpiresWithMinuteUnits: field = now.tm_min; break;
        case ExpiresWithSecond: field = now.tm_sec; break;
        default: return;
    }
    if (field != currentMotion->selector2) currentNode->requestRemoval();
}

std::string describeClock(const SceneNode& clock, bool analogue) {
    std::string out = "clock=";
    if (analogue) {
        // After the dial, the three hands, built in this order; their
        // offsets keep the angle of the last frame.
        char angle[32];
        for (std::size_t i = 1; i < clock.children.size() && i <= 3; ++i) {
            std::snprintf(angle, sizeof angle, "%s%g", i > 1 ? "," : "hands:",
                          clock.children[i]->track.offset.rotation.z);
            out += angle;
        }
        return out;
    }
    // After the plate, the places in building order. A place shows its last
    // child: a digit that expires during its own draw is still drawn in that
    // frame, and one that expired earlier was reaped before drawing.
    for (std::size_t i = 1; i < clock.children.size(); ++i) {
        if (i > 1) out += '|';
        const SceneNode& place = *clock.children[i];
        if (place.children.empty()) {
            out += '-';
        } else {
            const std::string entry = modelEntryName(*place.children.back());
            out += entry.empty() ? "_" : entry;
        }
    }
    return out;
}
