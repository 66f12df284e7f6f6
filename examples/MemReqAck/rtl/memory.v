// The RTL side of the MemReqAck example in Verilog: the same 256-byte memory behind a
// request/acknowledge handshake as testbench/Memory.h, for a co-simulation of the
// generated transactor against it: kestrel-cli sim MemReqAck.tp --rtl rtl/memory.v
//
// On every rising clock edge:
//   - while ack is high, it stays high until req is seen low, then drops;
//   - while req is high (and ack low), the memory lets its wait states pass (WRITE_WAITS
//     for writes, READ_WAITS for reads, counted in clock edges), then stores wdata at addr
//     (we high) or drives the byte at addr on rdata, and raises ack.
// The outputs are always 0 or 1, so a transactor may read them at any time.
module memory #(
    parameter WRITE_WAITS = 0,
    parameter READ_WAITS = 1
) (
    input  wire       clk,
    input  wire       req,
    input  wire       we,
    input  wire [7:0] addr,
    input  wire [7:0] wdata,
    output reg        ack,
    output reg  [7:0] rdata
);
    reg [7:0] cells[0:255];
    reg [7:0] waited;
    integer i;

    initial begin
        ack = 1'b0;
        rdata = 8'h00;
        waited = 8'h00;
        for (i = 0; i < 256; i = i + 1) cells[i] = 8'h00;
    end

    always @(posedge clk) begin
        if (ack) begin
            if (!req) ack <= 1'b0;
        end else if (req) begin
            if (waited < (we ? WRITE_WAITS : READ_WAITS)) begin
                waited <= waited + 8'd1;
            end else begin
                waited <= 8'h00;
                if (we) cells[addr] <= wdata;
                else rdata <= cells[addr];
                ack <= 1'b1;
            end
        end
    end
endmodule
