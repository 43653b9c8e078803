// SPDX-License-Identifier: GPL-2.0-or-later
#include "canvasset.h"

#include <QDir>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

CanvasSet::CanvasSet(int size)
    : m_size(size)
{
}

bool CanvasSet::addPhotosOf(const std::string& folder, std::string& error)
{
    const QDir dir(QString::fromStdString(folder));
    const QStringList names = dir.entryList({"*.jpg", "*.jpeg", "*.png", "*.JPG", "*.JPEG", "*.PNG"},
                                            QDir::Files, QDir::Name);
    for (const QString& name : names) {
        if (!addPhoto(dir.filePath(name).toStdString()))
            error += "cannot read " + name.toStdString() + "\n";
    }
    if (m_frames.empty())
        error += "no photos in " + folder;
    return !m_frames.empty();
}

bool CanvasSet::addPhoto(const std::string& path)
{
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    QImageReader::setAllocationLimit(1024);
    const QImage photo = reader.read().convertToFormat(QImage::Format_RGB888);
    if (photo.isNull())
        return false;
    std::vector<std::uint8_t> canvas(frameBytes(), 0);
    const int width = std::min(photo.width(), m_size), height = std::min(photo.height(), m_size);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* rgb = photo.constScanLine(y);
        std::uint8_t* bgr = &canvas[std::size_t(y) * m_size * 3];
        for (int x = 0; x < width; ++x) {
            bgr[3 * x] = rgb[3 * x + 2];
            bgr[3 * x + 1] = rgb[3 * x + 1];
            bgr[3 * x + 2] = rgb[3 * x];
        }
    }
    m_frames.push_back(std::move(canvas));
    return true;
}

bool CanvasSet::load(const std::string& path, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<std::uint8_t> canvas(frameBytes());
    while (file.read(reinterpret_cast<char*>(canvas.data()), std::streamsize(canvas.size())))
        m_frames.push_back(canvas);
    if (m_frames.empty())
        error = "no whole frame in " + path;
    return !m_frames.empty();
}

bool CanvasSet::save(const std::string& path, std::string& error) const
{
    std::ofstream file(path, std::ios::binary);
    for (const std::vector<std::uint8_t>& canvas : m_frames)
        file.write(reinterpret_cast<const char*>(canvas.data()), std::streamsize(canvas.size()));
    if (!file)
        error = "cannot write " + path;
    return bool(file);
}

bool CanvasSet::meanPsnrAgainst(const std::string& path, double& psnr, std::string& error) const
{
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> other(frameBytes());
    double total = 0;
    for (const std::vector<std::uint8_t>& canvas : m_frames) {
        if (!file.read(reinterpret_cast<char*>(other.data()), std::streamsize(other.size()))) {
            error = path + " holds fewer frames than the canvases";
            return false;
        }
        total += CanvasSet::psnr(canvas, other.data());
    }
    psnr = total / double(m_frames.size());
    return true;
}

double CanvasSet::psnr(const std::vector<std::uint8_t>& reference, const std::uint8_t* other)
{
    std::uint64_t squares = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const int d = int(reference[i]) - int(other[i]);
        squares += std::uint64_t(d * d);
    }
    if (squares == 0)
        return 99.0;
    return 10.0 * std::log10(255.0 * 255.0 * double(reference.size()) / double(squares));
}
