#pragma once
// The UP and DOWN keys. What a press does depends on the panel alone: an
// open set-up menu takes the keys first, then a function with a reference
// to step, and only with none of them the keys step a range. The flags are
// tested in one fixed order and the first that is set decides:
//
//   MATH_SET, SENSOR_SET, FILT_SET, COMP_SET   the menu's value or list
//   HOLD_ON, dBm_ON                            the hold or dBm reference
//   REL_SET                                    the relative value's digits
//   MATH_ON                                    the range while math is on
//   none                                       range stepping (range_steps.h)
//
// Neither key pauses, sends or redraws anything for every press; each branch
// does its own. False when an exchange failed and ended the press there.

struct Panel;

namespace arrows {

bool UP_IMG_ENTER(Panel &p);
bool DOWN_IMG_ENTER(Panel &p);

} // namespace arrows
