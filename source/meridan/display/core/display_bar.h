// Where the parts of a deviation bar go inside a bar area of a given client
// size: the background, the bar from the centre, the centre line and the two
// tolerance marks, all in whole pixels of the bar area.
#pragma once

struct BarGeometry {
  int x0, y0, x1, y1;       // background rectangle, one pixel inside the client area
  int barLeft, barRight;    // the bar spans these x from y0 to y1; barRight < barLeft for a negative deviation
  int centreX;              // centre line from y0 to y1
  int upperMarkX, lowerMarkX;  // tolerance marks from y0 + 1 to y1 - 1
  bool outOfTolerance;      // red bar with green marks, else green bar with red marks
};

// The bar spans 1.2 times the larger tolerance each way from the centre (0.1
// when both tolerances are 0), so the marks always fall inside it and a far
// deviation ends at the end of the bar area. A deviation is out of tolerance
// when it is below lsl or above usl (a limit that is not a number is never
// passed); one that is not a number is out of tolerance too and draws no bar.
// Positions that are not numbers (limits that are not numbers) fall on the
// centre line.
BarGeometry ComputeBarGeometry(double value, double nomSize, double usl, double lsl, int clientWidth,
                               int clientHeight);
