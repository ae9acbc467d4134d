#include "MazeGenerator.h"

#include <algorithm>
#include <random>
#include <utility>

namespace {

struct Room {
    int column0, row0, column1, row1; // inclusive
};

class MazeBuilder {
public:
    MazeBuilder(int columns, int rows, uint32_t seed) : random(seed)
    {
        plan.name = "maze";
        plan.columns = columns;
        plan.rows = rows;
        plan.friends = 4;
        plan.enemies = 6;
        plan.cells.assign(static_cast<size_t>(columns) * rows, Cell::Wall);
    }

    Plan run()
    {
        carveMaze();
        openLoops();
        carveRooms();
        decorateRooms();
        placeArches();
        varyWalls();
        placeLightsAndStart();
        validateGrid(plan, plan.name, 1);
        aimStart();
        return std::move(plan);
    }

private:
    int below(int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); }
    Cell& cell(int column, int row) { return plan.cells[static_cast<size_t>(row) * plan.columns + column]; }
    bool inside(int column, int row) const
    {
        return column > 0 && row > 0 && column < plan.columns - 1 && row < plan.rows - 1;
    }

    // Recursive backtracker over the odd cells, with an explicit stack.
    void carveMaze()
    {
        const int nodesX = (plan.columns - 1) / 2;
        const int nodesY = (plan.rows - 1) / 2;
        std::vector<char> visited(static_cast<size_t>(nodesX) * nodesY, 0);
        std::vector<std::pair<int, int>> stack = {{0, 0}};
        visited[0] = 1;
        cell(1, 1) = Cell::Floor;
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        while (!stack.empty()) {
            const auto [x, y] = stack.back();
            int options[4];
            int optionCount = 0;
            for (int d = 0; d < 4; ++d) {
                const int nx = x + steps[d][0];
                const int ny = y + steps[d][1];
                if (nx >= 0 && ny >= 0 && nx < nodesX && ny < nodesY && !visited[static_cast<size_t>(ny) * nodesX + nx])
                    options[optionCount++] = d;
            }
            if (optionCount == 0) {
                stack.pop_back();
                continue;
            }
            const int d = options[below(optionCount)];
            const int nx = x + steps[d][0];
            const int ny = y + steps[d][1];
            visited[static_cast<size_t>(ny) * nodesX + nx] = 1;
            cell(2 * x + 1 + steps[d][0], 2 * y + 1 + steps[d][1]) = Cell::Floor;
            cell(2 * nx + 1, 2 * ny + 1) = Cell::Floor;
            stack.push_back({nx, ny});
        }
    }

    // A perfect maze has one way everywhere; knocking out a few walls adds circuits.
    void openLoops()
    {
        for (int row = 1; row < plan.rows - 1; ++row) {
            for (int column = 1; column < plan.columns - 1; ++column) {
                if (cell(column, row) != Cell::Wall || (row + column) % 2 == 0 || below(12) != 0)
                    continue;
                const bool betweenX = cell(column - 1, row) != Cell::Wall && cell(column + 1, row) != Cell::Wall;
                const bool betweenY = cell(column, row - 1) != Cell::Wall && cell(column, row + 1) != Cell::Wall;
                if (betweenX || betweenY)
                    cell(column, row) = Cell::Floor;
            }
        }
    }

    void carveRooms()
    {
        const int count = std::max(1, plan.columns * plan.rows / 500);
        for (int i = 0; i < count; ++i) {
            const int width = std::min(2 * (2 + below(4)) + 1, plan.columns - 2);
            const int height = std::min(2 * (2 + below(4)) + 1, plan.rows - 2);
            const int column0 = 1 + 2 * below(std::max(1, (plan.columns - 1 - width) / 2));
            const int row0 = 1 + 2 * below(std::max(1, (plan.rows - 1 - height) / 2));
            const Room room{column0, row0, std::min(column0 + width - 1, plan.columns - 2),
                            std::min(row0 + height - 1, plan.rows - 2)};
            const Cell floor = i % 2 == 0 ? Cell::AltFloor : Cell::Floor;
            for (int row = room.row0; row <= room.row1; ++row) {
                for (int column = room.column0; column <= room.column1; ++column)
                    cell(column, row) = floor;
            }
            rooms.push_back(room);
        }
    }

    void decorateRooms()
    {
        for (size_t i = 0; i < rooms.size(); ++i) {
            const Room& room = rooms[i];
            const int width = room.column1 - room.column0 + 1;
            const int height = room.row1 - room.row0 + 1;
            if (width >= 7 && height >= 7) {
                for (int row = room.row0 + 2; row <= room.row1 - 2; row += 4) {
                    for (int column = room.column0 + 2; column <= room.column1 - 2; column += 4)
                        cell(column, row) = Cell::Pillar;
                }
            }
            if (below(2) == 0)
                cell(room.column0 + 1, room.row0 + 1) = Cell::Object;
            if (below(4) == 0)
                cell(room.column1 - 1, room.row0 + 1) = Cell::Billboard;
        }
    }

    void placeArches()
    {
        for (int row = 1; row < plan.rows - 1; ++row) {
            for (int column = 1; column < plan.columns - 1; ++column) {
                if (cell(column, row) != Cell::Floor || below(6) != 0)
                    continue;
                const bool wallsX = cell(column - 1, row) == Cell::Wall && cell(column + 1, row) == Cell::Wall;
                const bool wallsY = cell(column, row - 1) == Cell::Wall && cell(column, row + 1) == Cell::Wall;
                const bool openX = cell(column - 1, row) != Cell::Wall && cell(column + 1, row) != Cell::Wall;
                const bool openY = cell(column, row - 1) != Cell::Wall && cell(column, row + 1) != Cell::Wall;
                if ((wallsX && openY) || (wallsY && openX))
                    cell(column, row) = Cell::Arch;
            }
        }
    }

    // Patches of a second wall texture, in blocks across the map.
    void varyWalls()
    {
        for (int row = 0; row < plan.rows; ++row) {
            for (int column = 0; column < plan.columns; ++column) {
                if (cell(column, row) == Cell::Wall && (column / 24 + row / 24) % 3 == 0)
                    cell(column, row) = Cell::AltWall;
            }
        }
    }

    void placeLightsAndStart()
    {
        for (size_t i = 0; i < rooms.size() && i < static_cast<size_t>(maxLights); ++i) {
            const Room& room = rooms[i];
            cell((room.column0 + room.column1) / 2, (room.row0 + room.row1) / 2 - 1) = Cell::Light;
        }
        const Room& first = rooms.front();
        cell((first.column0 + first.column1) / 2, first.row1) = Cell::Start;
    }

    // The start faces its longest straight run of open cells (north, east, south, west on
    // ties), so that the first view looks down a corridor or across the room, not at a wall.
    void aimStart()
    {
        constexpr int headings[4][3] = {{0, -1, 90}, {1, 0, 0}, {0, 1, 270}, {-1, 0, 180}}; // step, degrees
        int longest = -1;
        for (const auto& heading : headings) {
            int run = 0;
            while (plan.isOpen(plan.start.column + heading[0] * (run + 1), plan.start.row + heading[1] * (run + 1)))
                ++run;
            if (run > longest) {
                longest = run;
                plan.startAngle = heading[2];
            }
        }
    }

    std::mt19937 random;
    Plan plan;
    std::vector<Room> rooms;
};

} // namespace

Plan generateMaze(int columns, int rows, uint32_t seed)
{
    return MazeBuilder(columns, rows, seed).run();
}
