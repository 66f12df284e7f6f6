// A 512-byte AXI4-Lite RAM: 128 words of 32 bits written through byte strobes, at
// 0x000-0x1ff of a 1 KiB (10-bit) address space; 0x200-0x3ff holds no slave and answers with
// DECERR. The write address and the write data are taken independently, each into a buffer
// of one entry, and the write is done once both are in and the response channel is free; a
// read answers on the cycle after its address. The example of `kestrel-cli from-rtl`
// (README.md, "A project from a bus slave's Verilog").
/* verilator lint_off UNUSED */ // the protection bits and the byte lanes' address bits
module axil_ram (
    input  wire        aclk,
    input  wire        aresetn,
    input  wire [9:0]  s_axi_awaddr,
    input  wire [2:0]  s_axi_awprot,
    input  wire        s_axi_awvalid,
    output wire        s_axi_awready,
    input  wire [31:0] s_axi_wdata,
    input  wire [3:0]  s_axi_wstrb,
    input  wire        s_axi_wvalid,
    output wire        s_axi_wready,
    output reg  [1:0]  s_axi_bresp,
    output reg         s_axi_bvalid,
    input  wire        s_axi_bready,
    input  wire [9:0]  s_axi_araddr,
    input  wire [2:0]  s_axi_arprot,
    input  wire        s_axi_arvalid,
    output wire        s_axi_arready,
    output reg  [31:0] s_axi_rdata,
    output reg  [1:0]  s_axi_rresp,
    output reg         s_axi_rvalid,
    input  wire        s_axi_rready
);
/* verilator lint_on UNUSED */
    localparam [1:0] OKAY = 2'b00, DECERR = 2'b11;

    reg [31:0] mem [0:127];
    reg        aw_full, w_full;
    /* verilator lint_off UNUSED */
    reg [9:0]  aw_addr; // the byte lanes' bits, 1:0, are not used
    /* verilator lint_on UNUSED */
    reg [31:0] w_data;
    reg [3:0]  w_strb;
    integer    i;

    initial for (i = 0; i < 128; i = i + 1) mem[i] = 32'd0;

    assign s_axi_awready = !aw_full;
    assign s_axi_wready  = !w_full;
    assign s_axi_arready = !s_axi_rvalid;

    // Write: the two buffers, then the write and its response.
    always @(posedge aclk) begin
        if (!aresetn) begin
            aw_full      <= 1'b0;
            w_full       <= 1'b0;
            s_axi_bvalid <= 1'b0;
            s_axi_bresp  <= OKAY;
        end else begin
            if (s_axi_awvalid && !aw_full) begin
                aw_addr <= s_axi_awaddr;
                aw_full <= 1'b1;
            end
            if (s_axi_wvalid && !w_full) begin
                w_data <= s_axi_wdata;
                w_strb <= s_axi_wstrb;
                w_full <= 1'b1;
            end
            if (aw_full && w_full && !s_axi_bvalid) begin
                if (!aw_addr[9])
                    for (i = 0; i < 4; i = i + 1)
                        if (w_strb[i]) mem[aw_addr[8:2]][8 * i +: 8] <= w_data[8 * i +: 8];
                s_axi_bresp  <= aw_addr[9] ? DECERR : OKAY;
                s_axi_bvalid <= 1'b1;
                aw_full      <= 1'b0;
                w_full       <= 1'b0;
            end else if (s_axi_bvalid && s_axi_bready) begin
                s_axi_bvalid <= 1'b0;
            end
        end
    end

    // Read: the word on the cycle after the address, held until RREADY.
    always @(posedge aclk) begin
        if (!aresetn) begin
            s_axi_rvalid <= 1'b0;
            s_axi_rresp  <= OKAY;
            s_axi_rdata  <= 32'd0;
        end else if (s_axi_arvalid && !s_axi_rvalid) begin
            s_axi_rdata  <= s_axi_araddr[9] ? 32'd0 : mem[s_axi_araddr[8:2]];
            s_axi_rresp  <= s_axi_araddr[9] ? DECERR : OKAY;
            s_axi_rvalid <= 1'b1;
        end else if (s_axi_rvalid && s_axi_rready) begin
            s_axi_rvalid <= 1'b0;
        end
    end
endmodule
