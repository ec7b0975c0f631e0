// A set of drive or logical-drive states for the state tables of the drive comparisons: the
// states listed, or with `complement` every state but those. A state outside 0..31 (a value
// the library may one day add) is in no listed set and so in every complement.
// Plain constexpr data; safe from any thread.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace detect {

struct StateSet {
    uint32_t bits;
    bool complement;

    constexpr bool contains(int state) const {
        const bool listed = state >= 0 && state < 32 && ((bits >> state) & 1U) != 0;
        return listed != complement;
    }
    constexpr StateSet inverse() const { return {bits, !complement}; }
};

constexpr uint32_t stateBits(std::initializer_list<int> states) {
    uint32_t bits = 0;
    for (int state : states) {
        bits |= 1U << state;
    }
    return bits;
}

constexpr StateSet statesIn(std::initializer_list<int> states) {
    return {stateBits(states), false};
}

constexpr StateSet statesNotIn(std::initializer_list<int> states) {
    return {stateBits(states), true};
}

inline constexpr StateSet kAnyState{0, true};

// A change of state from `before` to `now` that a table row names.
struct StateTransition {
    StateSet now;
    StateSet before;

    constexpr bool matches(int nowState, int beforeState) const {
        return now.contains(nowState) && before.contains(beforeState);
    }
};

}  // namespace detect
