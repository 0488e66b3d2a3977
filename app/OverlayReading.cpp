#include "app/OverlayReading.h"

#include "formats/Settings.h"
#include "res/PackCache.h"
#include "scene/MeshPart.h"
#include "scene/SceneNode.h"
#include "scene/SceneResources.h"

#include <cstdio>
#include <vector>

std::string modelEntryName(const SceneNode& node) {
    if (!node.hasModel) return "";
    if (node.partCount <= 0 || node.parts.empty() || !node.parts[0] || node.packNames.empty()) return "?";
    const PackFile* pack = SceneResources::packCache ? SceneResources::packCache->find(node.packNames[0]) : nullptr;
    if (!pack) return "?";
    const unsigned char* geometry = node.parts[0]->positions;
    for (std::size_t i = 0; i < pack->entryCount(); ++i) {
        const EntryData entry = pack->entryAt(i);
        if (entry.data && geometry >= entry.data && geometry < entry.data + entry.size) return pack->entryName(i);
    }
    return "?";
}

namespace {

// What a digit place shows: its last child. After a frame every child of a
// place was drawn in it, the last on top: a digit that expires during its
// own draw (its time field moved on) is still drawn in that frame, and one
// that expired in an earlier frame was deleted by the place before drawing.
const SceneNode* lastChild(const SceneNode& node) { return node.children.empty() ? nullptr : node.children.back(); }

// The newest page that the last frame drew: a page that asked for its
// removal draws nothing more.
const SceneNode* drawnPage(const SceneNode& holder) {
    for (std::size_t i = holder.children.size(); i-- > 0;)
        if (!holder.children[i]->removing) return holder.children[i];
    return nullptr;
}

std::string shown(const SceneNode* node) {
    if (!node) return "-";
    const std::string name = modelEntryName(*node);
    return name.empty() ? "_" : name;
}

std::string describeClock(const SceneNode& clock, bool analogue) {
    std::string out = "clock=";
    if (analogue) {
        // The hands' offsets keep the angle of the last frame.
        char angle[32];
        for (std::size_t i = 1; i < clock.children.size() && i <= 3; ++i) {
            std::snprintf(angle, sizeof angle, "%s%g", i > 1 ? "," : "hands:",
                          clock.children[i]->track.offset.rotation.z);
            out += angle;
        }
        return out;
    }
    for (std::size_t i = 1; i < clock.children.size(); ++i) {  // after the plate
        if (i > 1) out += '|';
        out += shown(lastChild(*clock.children[i]));
    }
    return out;
}

std::string describeCalendar(const SceneNode& calendar) {
    if (calendar.children.size() < 2) return "calendar=-";
    const SceneNode* page = drawnPage(*calendar.children[1]);
    if (!page || page->children.size() < 2) return "calendar=-";
    std::string marked = "-";
    int cell = 0, firstCell = -1;
    for (std::size_t i = 2; i < page->children.size(); ++i) {
        const std::string name = modelEntryName(*page->children[i]);
        if (name == "sel") {
            if (i + 1 < page->children.size()) marked = shown(page->children[i + 1]);
            continue;
        }
        if (name == "1") firstCell = cell;
        ++cell;
    }
    return "calendar=" + shown(page->children[1]) + "," + marked + ",first=" + std::to_string(firstCell);
}

std::string describeCounter(const SceneNode& counter) {
    // The newest set ends the list and starts with its units digit.
    std::vector<const SceneNode*> set;
    for (std::size_t i = counter.children.size(); i-- > 0;) {
        const SceneNode* digit = counter.children[i];
        set.push_back(digit);
        if (digit->transform.position.x > 3.0) break;
    }
    std::string out = "fps=";
    for (std::size_t i = 0; i < set.size(); ++i) {  // hundreds, tens, units
        if (i > 0) out += ',';
        out += shown(set[i]);
    }
    return set.empty() ? out + "-" : out;
}

}  // namespace

std::string describeOverlays(const SceneNode& root, const Settings& settings) {
    std::string out;
    std::size_t next = 0;
    auto take = [&]() -> const SceneNode* { return next < root.children.size() ? root.children[next++] : nullptr; };
    auto append = [&](const std::string& part) {
        if (!out.empty()) out += ' ';
        out += part;
    };
    const SceneNode* calendar = settings.showCalendar ? take() : nullptr;
    const SceneNode* counter = settings.showFps ? take() : nullptr;
    const SceneNode* clock = settings.showClock ? take() : nullptr;
    if (clock) append(describeClock(*clock, settings.analogClock != 0));
    if (calendar) append(describeCalendar(*calendar));
    if (counter) append(describeCounter(*counter));
    return out;
}
