// Small UART with a synchronous request/acknowledge register bus.
//
// Bus (all on the rising edge of clk):
//   sel high with ack low: the access is carried out (write when we is high) and ack rises;
//   rdata holds the read value while ack is high. ack stays high until sel is seen low.
// Registers:
//   0 DATA    write: push a byte into the 4-deep TX FIFO (dropped when full)
//             read : pop the oldest byte of the 4-deep RX FIFO (0 when empty)
//   1 STATUS  read : {4'b0, rx_overrun, tx_full, rx_valid, tx_busy}
//             write: any value clears rx_overrun
//   2 CTRL    bit 0: irq enable (irq = rx_valid & enable)
//   3 DIV     read only: the clocks per bit (4)
// Serial format: start bit (0), 8 data bits LSB first, stop bit (1), DIV clocks per bit.
// rst is synchronous and active high; the initial blocks give the same state as a reset.
module uart #(
    parameter DIV = 4
) (
    input  wire       clk,
    input  wire       rst,
    input  wire       sel,
    input  wire       we,
    input  wire [1:0] addr,
    input  wire [7:0] wdata,
    output reg  [7:0] rdata,
    output reg        ack,
    output wire       tx,
    input  wire       rx,
    output wire       irq
);
    // ---------------- TX FIFO and shifter ----------------
    reg [7:0] txq[0:3];
    reg [2:0] tx_count;          // 0..4 bytes waiting
    reg [1:0] tx_rd, tx_wr;
    reg [9:0] tx_shift;          // stop, data[7:0], start; shifted out LSB first
    reg [3:0] tx_bits;           // bits still to send (0 = idle)
    reg [7:0] tx_tick;
    reg       tx_out;

    // ---------------- RX sampler and FIFO ----------------
    reg [7:0] rxq[0:3];
    reg [2:0] rx_count;
    reg [1:0] rx_rd, rx_wr;
    reg [1:0] rx_sync;           // two-flop synchroniser
    reg       rx_active;
    reg [3:0] rx_bits;           // bits received of the current frame
    reg [7:0] rx_tick;
    reg [7:0] rx_shift;
    reg       rx_overrun;
    reg       irq_en;

    wire tx_busy  = (tx_bits != 4'd0) || (tx_count != 3'd0);
    wire tx_full  = (tx_count == 3'd4);
    wire rx_valid = (rx_count != 3'd0);

    assign tx  = tx_out;
    assign irq = rx_valid & irq_en;

    // Bus access happens on the edge where sel is high and ack is low.
    wire access   = sel && !ack;
    wire push_tx  = access && we && addr == 2'd0 && !tx_full;
    wire pop_rx   = access && !we && addr == 2'd0 && rx_valid;
    wire start_tx = (tx_bits == 4'd0) && (tx_count != 3'd0);
    wire rx_done;                // a stop bit was sampled this edge
    wire rx_push  = rx_done && rx_sync[1] && (rx_count != 3'd4);

    integer i;
    initial begin
        rdata = 8'h00; ack = 1'b0;
        tx_count = 3'd0; tx_rd = 2'd0; tx_wr = 2'd0;
        tx_shift = 10'h3ff; tx_bits = 4'd0; tx_tick = 8'd0; tx_out = 1'b1;
        rx_count = 3'd0; rx_rd = 2'd0; rx_wr = 2'd0; rx_sync = 2'b11;
        rx_active = 1'b0; rx_bits = 4'd0; rx_tick = 8'd0; rx_shift = 8'h00;
        rx_overrun = 1'b0; irq_en = 1'b0;
        for (i = 0; i < 4; i = i + 1) begin txq[i] = 8'h00; rxq[i] = 8'h00; end
    end

    // ---------------- register bus ----------------
    always @(posedge clk) begin
        if (rst) begin
            ack <= 1'b0; rdata <= 8'h00; irq_en <= 1'b0;
        end else if (ack) begin
            if (!sel) ack <= 1'b0;
        end else if (sel) begin
            ack <= 1'b1;
            if (we) begin
                if (addr == 2'd2) irq_en <= wdata[0];
            end else begin
                case (addr)
                    2'd0: rdata <= rx_valid ? rxq[rx_rd] : 8'h00;
                    2'd1: rdata <= {4'b0, rx_overrun, tx_full, rx_valid, tx_busy};
                    2'd2: rdata <= {7'b0, irq_en};
                    default: rdata <= DIV[7:0];
                endcase
            end
        end
    end

    // ---------------- transmitter ----------------
    always @(posedge clk) begin
        if (rst) begin
            tx_count <= 3'd0; tx_rd <= 2'd0; tx_wr <= 2'd0;
            tx_bits <= 4'd0; tx_tick <= 8'd0; tx_out <= 1'b1;
        end else begin
            if (push_tx) begin
                txq[tx_wr] <= wdata;
                tx_wr <= tx_wr + 2'd1;
            end
            if (start_tx) begin
                tx_shift <= {1'b1, txq[tx_rd], 1'b0};
                tx_rd <= tx_rd + 2'd1;
                tx_bits <= 4'd10;
                tx_tick <= 8'd0;
            end else if (tx_bits != 4'd0) begin
                tx_out <= tx_shift[0];
                if (tx_tick == DIV[7:0] - 8'd1) begin
                    tx_tick <= 8'd0;
                    tx_shift <= {1'b1, tx_shift[9:1]};
                    tx_bits <= tx_bits - 4'd1;
                end else begin
                    tx_tick <= tx_tick + 8'd1;
                end
            end else begin
                tx_out <= 1'b1;
            end
            tx_count <= tx_count + (push_tx ? 3'd1 : 3'd0) - (start_tx ? 3'd1 : 3'd0);
        end
    end

    // ---------------- receiver ----------------
    // A frame starts at a falling edge of the synchronised rx; each bit is sampled in its
    // middle (DIV/2 clocks after the edge, then every DIV clocks).
    assign rx_done = rx_active && (rx_tick == DIV[7:0] - 8'd1) && (rx_bits == 4'd9);

    always @(posedge clk) begin
        if (rst) begin
            rx_sync <= 2'b11; rx_active <= 1'b0; rx_bits <= 4'd0; rx_tick <= 8'd0;
            rx_count <= 3'd0; rx_rd <= 2'd0; rx_wr <= 2'd0; rx_overrun <= 1'b0;
        end else begin
            rx_sync <= {rx_sync[0], rx};
            if (!rx_active) begin
                if (!rx_sync[1] && rx_sync[0] == 1'b0) begin
                    // start bit seen: wait half a bit to its middle
                    rx_active <= 1'b1;
                    rx_bits <= 4'd0;
                    rx_tick <= 8'd0 + (DIV[7:0] >> 1);
                end
            end else begin
                if (rx_tick == DIV[7:0] - 8'd1) begin
                    rx_tick <= 8'd0;
                    if (rx_bits == 4'd0) begin
                        // middle of the start bit: a glitch if rx is high again
                        if (rx_sync[1]) rx_active <= 1'b0;
                        else rx_bits <= 4'd1;
                    end else if (rx_bits < 4'd9) begin
                        rx_shift <= {rx_sync[1], rx_shift[7:1]};
                        rx_bits <= rx_bits + 4'd1;
                    end else begin
                        rx_active <= 1'b0;   // stop bit
                        rx_bits <= 4'd0;
                    end
                end else begin
                    rx_tick <= rx_tick + 8'd1;
                end
            end
            if (rx_push) begin
                rxq[rx_wr] <= rx_shift;
                rx_wr <= rx_wr + 2'd1;
            end
            if (rx_done && rx_sync[1] && rx_count == 3'd4) rx_overrun <= 1'b1;
            if (access && we && addr == 2'd1) rx_overrun <= 1'b0;
            if (pop_rx) rx_rd <= rx_rd + 2'd1;
            rx_count <= rx_count + (rx_push ? 3'd1 : 3'd0) - (pop_rx ? 3'd1 : 3'd0);
        end
    end
endmodule
