// The detection figures of the benchmark program: the detection pass over a crowded Uninstall key (one walk
// per lookup before, one walk per pass after) against one bare walk of the key, and the pass on a machine
// with four MinGW tool chains whose probes run a stand-in gcc. Needs the program's figure table (`record`).
#pragma once

#include <string>
#include <vector>

// Adds one figure to the program's table: its median and 95th percentile of the samples.
using RecordFigure = void (*)(const std::string& name, const std::string& unit, std::vector<double> samples);

void BenchDetection(RecordFigure record);
