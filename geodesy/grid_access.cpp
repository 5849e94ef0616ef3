// The grid access layer: chains of grid files opened together, the cell of
// a point in the current chain, and closing a chain.
#include "geodesy/grid_access_state.hpp"

#include <cstring>

namespace {

void close_files(mpx_grid_file *grid) {
    while (grid) {
        mpx_grid_file *next = grid->next;
        grid_cache_forget_file(grid);
        grid_file_close(grid);
        grid = next;
    }
}

// Opens the blank-separated files of `names` (edited in place) as one
// chain; null when a file fails or the kinds differ, with every file opened
// so far closed again.
mpx_grid_file *open_chain(char *names) {
    mpx_grid_file *head = nullptr;
    mpx_grid_file *tail = nullptr;
    for (char *piece = names; *piece;) {
        if (*piece == ' ') {
            ++piece;
            continue;
        }
        char *end = std::strchr(piece, ' ');
        const bool last = !end;
        if (end)
            *end = '\0';
        mpx_grid_file *grid = grid_file_open(piece);
        if (!grid || (head && grid->kind != head->kind)) {
            grid_file_close(grid);
            close_files(head);
            return nullptr;
        }
        (tail ? tail->next : head) = grid;
        tail = grid;
        if (last)
            break;
        piece = end + 1;
    }
    return head;
}

} // namespace

extern "C" int grid_access_init(const char *names) noexcept {
    grid_current_set(0);
    if (!names)
        return 0;
    // A heap copy of the exact length: a list of any length fits.
    const std::size_t size = std::strlen(names) + 1;
    auto *copy = static_cast<char *>(qmsc_HeapMalloc(size));
    if (!copy)
        return 0;
    std::memcpy(copy, names, size);
    mpx_grid_file *head = open_chain(copy);
    qmsc_HeapFree(copy);
    if (!head)
        return 0;
    const int grid_id = grid_chain_register(head);
    if (grid_id == 0) {
        close_files(head);
        return 0;
    }
    grid_current_set(grid_id);
    return grid_id;
}

// Any id is taken; one that names no chain leaves no chain current.
extern "C" int grid_access_set_current_id(int grid_id) noexcept {
    grid_current_set(grid_id);
    return 0;
}

extern "C" int grid_access_inq_num_coeffs() noexcept {
    const mpx_grid_file *head = grid_chain_head(grid_current_id());
    return head ? grid_kind_num_coeffs(head->kind) : -1;
}

extern "C" int grid_access_get_block(double lon, double lat, double *coefficients) noexcept {
    if (!coefficients)
        return -1;
    mpx_grid_file *grid = grid_chain_head(grid_current_id());
    int cell_index = -1;
    for (; grid; grid = grid->next) {
        cell_index = grid_file_cell_index(*grid, lon, lat);
        if (cell_index >= 0)
            break;
    }
    if (!grid)
        return -1;
    mpx_grid_cell *entry = grid_cache_find(grid, cell_index);
    if (!entry) {
        entry = grid_cache_take();
        if (gridi_read_data_block(grid, cell_index, entry) != 0) {
            grid_cache_release(entry);
            return -1;
        }
        grid_cache_push_front(entry);
    }
    return gridi_copy_data_block(grid->kind, entry, coefficients);
}

extern "C" void grid_access_close(int grid_id) noexcept {
    close_files(grid_chain_unregister(grid_id));
}
