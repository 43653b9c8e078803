// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Drives the program's photo list over a large folder, headless: the application started as the
// program starts it, the folder opened, the thumbnails rebuilt, zoomed through every size, closed,
// then opened again and closed at the largest size.
// Each step's time, the process's resident memory after it and its peak so far are recorded.

#include <QString>

#include <string>
#include <vector>

class CListView_Photos;
class CStrevioApp;

struct LoadStep {
    std::string name;
    double seconds = 0;
    long items = 0;
    long peakKilobytes = 0;
    long residentKilobytes = 0; // after the step
};

class PhotoListLoad {
public:
    // `photo` is any file of the folder to open. False when the program or the list fails.
    bool run(const QString& photo, std::vector<LoadStep>& steps, std::string& error);

private:
    template <typename Step>
    void measure(const std::string& name, std::vector<LoadStep>& steps, Step step);

    CListView_Photos* m_list = nullptr;
};
